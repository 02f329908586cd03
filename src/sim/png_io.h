// PNG files for the simulator: the frame out as 8-bit RGB, a background in, scaled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wrigglet::sim {

// The largest picture side read: the largest scene. Anything larger is refused before a
// byte of it is allocated.
inline constexpr int32_t MaxImageSide = 8192;

// Frame pixels (0x00RRGGBB) as 8-bit RGB bytes, in the order a PNG stores them.
std::vector<uint8_t> PixelsToRgb(const std::vector<uint32_t>& pixels);

// Writes width x height frame pixels (0x00RRGGBB, row-major) as an 8-bit RGB PNG.
// Returns an error line, or an empty string on success.
std::string WriteFramePng(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels);

// Reads a PNG of any format and scales it to width x height (nearest pixel) as 0x00RRGGBB
// pixels. Returns an error line, or an empty string on success; a picture wider or taller
// than MaxImageSide is refused.
std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels);

// Reads a PNG as 8-bit RGB bytes, row by row; for checks of written frames.
std::string ReadRgbPng(const std::string& path, int32_t& width, int32_t& height, std::vector<uint8_t>& rgb);

}  // namespace wrigglet::sim
