// PNG writing through libpng's simplified interface.
#include "sim/png_io.h"

#include <png.h>

#include <cerrno>
#include <cstring>

#include "sim/output_file.h"

namespace wrigglet::sim {

std::vector<uint8_t> PixelsToRgb(const std::vector<uint32_t>& pixels) {
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint32_t p : pixels) {
        rgb.push_back(static_cast<uint8_t>(p >> 16));
        rgb.push_back(static_cast<uint8_t>(p >> 8));
        rgb.push_back(static_cast<uint8_t>(p));
    }
    return rgb;
}

std::string WriteFramePng(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
    const std::vector<uint8_t> rgb = PixelsToRgb(pixels);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // libpng's own file writer removes the target when a write fails, whatever it was.
    OutputFile output(path);
    std::FILE* file = output.Open();
    if (!file) return output.Commit();
    errno = 0;
    if (!png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr))
        return output.Error(errno ? std::strerror(errno) : image.message);
    return output.Commit();
}

}  // namespace wrigglet::sim
