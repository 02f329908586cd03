// PNG reading through libpng's simplified interface, and nearest-pixel stretching.
#include "image/png_read.h"

#include <png.h>

#include <cstring>

#include "image/picture_sampling.h"
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

std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels) {
    RgbPicture picture;
    if (std::string error = ReadRgbPng(path, picture); !error.empty()) return error;
    const SampleGrid grid = StretchGrid(picture.Width, picture.Height, width, height);
    pixels.clear();
    pixels.reserve(grid.Columns.size() * grid.Rows.size());
    for (int32_t sy : grid.Rows)
        for (int32_t sx : grid.Columns) {
            const uint8_t* p = picture.Rgb.data() + (static_cast<size_t>(sy) * picture.Width + sx) * 3;
            pixels.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
        }
    return "";
}

}  // namespace wrigglet::image
