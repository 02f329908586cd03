// A picture of the whole desktop (the desktop portal's screenshot) cut into the outputs'
// parts, each scaled to its output's physical pixels.
#pragma once

#include <string>
#include <vector>

#include "core/pixel_rect.h"
#include "core/scene_session.h"
#include "image/picture_sampling.h"

namespace wrigglet::wayland {

struct OutputPlace {
    PixelRect Logical;   // the output in the compositor's logical space
    SceneSize Physical;  // its pixels
};

// The grids that take each output's part of a picture of width x height covering the
// smallest rectangle that holds all the outputs, at any scale (the screenshot of a scaled
// desktop may be in physical pixels), each scaled to the output's physical size.
std::vector<image::SampleGrid> DesktopGrids(int32_t width, int32_t height, const std::vector<OutputPlace>& places);

// The picture of the whole desktop, one picture for each output in `places`.
std::vector<image::PixelPicture> CropDesktop(const image::PixelPicture& desktop,
                                             const std::vector<OutputPlace>& places);

// The same from a PNG, read a row at a time. Returns an error line, or an empty string.
std::string CropDesktopPng(const std::string& path, const std::vector<OutputPlace>& places,
                           std::vector<image::PixelPicture>& parts);

}  // namespace wrigglet::wayland
