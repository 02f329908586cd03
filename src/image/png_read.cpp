// PNG reading through libpng's simplified interface, and nearest-pixel stretching.
#include "image/png_read.h"

#include <png.h>

#include <cstring>

#include "image/png_rows.h"

namespace wrigglet::image {

std::string ReadRgbPng(const std::string& path, RgbPicture& picture) {
    std::string error;
    FILE* file = OpenRegularFile(path, error);
    if (!file) return error;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file)) {
        std::fclose(file);
        return "cannot read '" + path + "': " + image.message;
    }
    if (image.width > static_cast<png_uint_32>(MaxImageSide) || image.height > static_cast<png_uint_32>(MaxImageSide)) {
        error = "'" + path + "' is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                ", larger than " + std::to_string(MaxImageSide) + "x" + std::to_string(MaxImageSide);
    } else if (image.width == 0 || image.height == 0) {
        error = "'" + path + "' is empty";
    } else {
        image.format = PNG_FORMAT_RGB;
        // Sized in size_t: PNG_IMAGE_SIZE is 32-bit arithmetic and wraps for large headers.
        picture.Rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
        if (png_image_finish_read(&image, nullptr, picture.Rgb.data(), 0, nullptr)) {
            picture.Width = static_cast<int32_t>(image.width);
            picture.Height = static_cast<int32_t>(image.height);
        } else {
            error = "cannot decode '" + path + "': " + image.message;
        }
    }
    png_image_free(&image);
    std::fclose(file);
    return error;
}

PixelPicture RgbPixels(const RgbPicture& picture) {
    PixelPicture pixels{picture.Width, picture.Height, {}};
    pixels.Pixels.reserve(picture.Rgb.size() / 3);
    for (size_t i = 0; i + 2 < picture.Rgb.size(); i += 3)
        pixels.Pixels.push_back(uint32_t{picture.Rgb[i]} << 16 | uint32_t{picture.Rgb[i + 1]} << 8 |
                                picture.Rgb[i + 2]);
    return pixels;
}

std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels) {
    RgbPicture picture;
    if (std::string error = ReadRgbPng(path, picture); !error.empty()) return error;
    pixels = Sample(RgbPixels(picture), StretchGrid(picture.Width, picture.Height, width, height)).Pixels;
    return "";
}

}  // namespace wrigglet::image
