// What the scenes crawl over: the -picture file, or each output's contents as grim read them
// at start (where the compositor lets a client copy the screen), or nothing (black).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "image/png_read.h"

namespace wrigglet::wayland {

struct DesktopPictures {
    std::optional<image::RgbPicture> Picture;           // -picture, for every output
    std::map<std::string, image::RgbPicture> Captures;  // by output name
};

// True when there is a picture for the output of this name.
bool HasDesktop(const DesktopPictures& desktop, const std::string& output);

// Fills width x height 0x00RRGGBB pixels with the output's picture, scaled to cover them.
void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels);

// What the output shows now, through `grim -o NAME`; none when grim is missing or fails.
std::optional<image::RgbPicture> CaptureOutput(const std::string& output);

}  // namespace wrigglet::wayland
