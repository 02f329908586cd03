// PNG pictures in: as 8-bit RGB, stretched to a size, or scaled to cover a size as a wallpaper.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wrigglet::image {

// The largest picture side read: the largest scene. Anything larger is refused before a
// byte of it is allocated.
inline constexpr int32_t MaxImageSide = 8192;

struct RgbPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Rgb;  // 3 bytes a pixel, row by row
};

// Reads a PNG of any format as 8-bit RGB. Returns an error line, or an empty string on
// success; a picture wider or taller than MaxImageSide, or empty, is refused.
std::string ReadRgbPng(const std::string& path, RgbPicture& picture);

// Reads a PNG of any format and stretches it to width x height (nearest pixel) as
// 0x00RRGGBB pixels. Returns an error line, or an empty string on success.
std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels);

// The picture scaled (nearest pixel) to cover width x height as 0x00RRGGBB pixels, keeping
// its proportions and centred: what sticks out is cut off. A picture of the same
// proportions is exactly the stretched one.
std::vector<uint32_t> CoverPixels(const RgbPicture& picture, int32_t width, int32_t height);

}  // namespace wrigglet::image
