// What the scenes crawl over: the -picture file scaled to cover each output, or each
// output's own contents as read before the scenes showed (copied from the screen, or cut
// from a picture of the whole desktop), or nothing (black).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "image/picture_sampling.h"

namespace wrigglet::wayland {

struct DesktopPictures {
    std::string Picture;                                 // -picture's path, for every output
    std::map<std::string, image::PixelPicture> Outputs;  // each output's own picture, by name
};

// True when there is a picture for the output of this name.
bool HasDesktop(const DesktopPictures& desktop, const std::string& output);

// Fills width x height 0x00RRGGBB pixels with the output's picture, scaled to cover them:
// its own, else -picture's (read for it now), else black.
void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels);

}  // namespace wrigglet::wayland
