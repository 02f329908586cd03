// PNG files for the simulator: the frame out as 8-bit RGB (pictures come in through image/png_read.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wrigglet::sim {

// Frame pixels (0x00RRGGBB) as 8-bit RGB bytes, in the order a PNG stores them.
std::vector<uint8_t> PixelsToRgb(const std::vector<uint32_t>& pixels);

// Writes width x height frame pixels (0x00RRGGBB, row-major) as an 8-bit RGB PNG.
// Returns an error line, or an empty string on success.
std::string WriteFramePng(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels);

}  // namespace wrigglet::sim
