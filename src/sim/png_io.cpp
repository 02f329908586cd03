// PNG reading and writing through libpng's simplified interface.
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

std::string ReadRgbPng(const std::string& path, int32_t& width, int32_t& height, std::vector<uint8_t>& rgb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return "cannot read '" + path + "': " + image.message;
    if (image.width > static_cast<png_uint_32>(MaxImageSide) || image.height > static_cast<png_uint_32>(MaxImageSide)) {
        const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
        png_image_free(&image);
        return "'" + path + "' is " + size + ", larger than " + std::to_string(MaxImageSide) + "x" +
               std::to_string(MaxImageSide);
    }
    image.format = PNG_FORMAT_RGB;
    // Sized in size_t: PNG_IMAGE_SIZE is 32-bit arithmetic and wraps for large headers.
    rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
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
