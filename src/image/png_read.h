// PNG pictures read whole: as 8-bit RGB, or stretched to a size (the simulator's background).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/picture_sampling.h"

namespace wrigglet::image {

// The largest picture side read whole: the largest scene. Anything larger is refused before
// a byte of it is allocated.
inline constexpr int32_t MaxImageSide = 8192;

struct RgbPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Rgb;  // 3 bytes a pixel, row by row
};

// Reads a PNG of any format as 8-bit RGB. Returns an error line, or an empty string on
// success; a picture wider or taller than MaxImageSide, or empty, is refused, and so is a
// path that is not a regular file.
std::string ReadRgbPng(const std::string& path, RgbPicture& picture);

// The picture as 0x00RRGGBB pixels.
PixelPicture RgbPixels(const RgbPicture& picture);

// Reads a PNG of any format and stretches it to width x height (nearest pixel) as
// 0x00RRGGBB pixels. Returns an error line, or an empty string on success.
std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels);

}  // namespace wrigglet::image
