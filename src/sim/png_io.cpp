// PNG reading and writing through libpng's simplified interface.
#include "sim/png_io.h"

#include <png.h>

#include <cstring>

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
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr))
        return "cannot write '" + path + "': " + image.message;
    return "";
}

std::string ReadRgbPng(const std::string& path, int32_t& width, int32_t& height, std::vector<uint8_t>& rgb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return "cannot read '" + path + "': " + image.message;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return "cannot decode '" + path + "': " + image.message;
    }
    width = static_cast<int32_t>(image.width);
    height = static_cast<int32_t>(image.height);
    return "";
}

std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels) {
    int32_t sourceWidth = 0, sourceHeight = 0;
    std::vector<uint8_t> rgb;
    if (std::string error = ReadRgbPng(path, sourceWidth, sourceHeight, rgb); !error.empty()) return error;
    if (sourceWidth <= 0 || sourceHeight <= 0) return "'" + path + "' is empty";
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const int64_t sy = static_cast<int64_t>(y) * sourceHeight / height;
        for (int32_t x = 0; x < width; ++x) {
            const int64_t sx = static_cast<int64_t>(x) * sourceWidth / width;
            const uint8_t* p = rgb.data() + (sy * sourceWidth + sx) * 3;
            pixels[static_cast<size_t>(y) * width + x] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        }
    }
    return "";
}

}  // namespace wrigglet::sim
