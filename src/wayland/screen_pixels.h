// A copy of an output's screen as the compositor laid it out in a wl_shm buffer, turned into
// the program's pixels: 0x00RRGGBB, upright, at the output's physical size.
#pragma once

#include <wayland-client-protocol.h>

#include <cstdint>
#include <optional>

#include "image/picture_sampling.h"

namespace wrigglet::wayland {

struct ScreenFrame {
    uint32_t Format = WL_SHM_FORMAT_XRGB8888;  // a wl_shm.format
    int32_t Width = 0;                         // the buffer's, before the transform
    int32_t Height = 0;
    int32_t Stride = 0;     // bytes from a row to the next
    bool YInvert = false;   // the rows run from the bottom up
    int32_t Transform = 0;  // the output's wl_output.transform: how its buffer is turned
};

// True for the wl_shm formats ScreenPicture reads: 8 and 10 bits a colour in 32-bit
// pixels, red first or blue first.
bool ReadableFormat(uint32_t format);

// The frame's `data` (Stride x Height bytes) as the user sees the output: turned back by
// its transform (a 90-degree one swaps the sides), rows top down. None for a format
// ReadableFormat refuses or a frame whose sizes don't hold together.
std::optional<image::PixelPicture> ScreenPicture(const ScreenFrame& frame, const uint8_t* data);

}  // namespace wrigglet::wayland
