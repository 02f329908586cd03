// PNG reading through libpng's simplified interface, and nearest-pixel scaling.
#include "image/png_read.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace wrigglet::image {

namespace {

// The source index of each of `count` samples along a side of `source` pixels, scaled to
// span `scaled` = num / den samples (at least `count`) and its middle `count` taken, each
// sample the pixel under its top-left corner. num / den == count: the side stretched.
std::vector<int32_t> SourceIndices(int32_t source, int64_t count, int64_t num, int64_t den) {
    std::vector<int32_t> indices(static_cast<size_t>(count));
    // Sample i lies at (i + (scaled - count) / 2) / scaled of the side, in whole numbers.
    for (int64_t i = 0; i < count; ++i)
        indices[static_cast<size_t>(i)] = static_cast<int32_t>((2 * i * den + num - count * den) * source / (2 * num));
    return indices;
}

std::vector<uint32_t> Sample(const RgbPicture& picture, const std::vector<int32_t>& columns,
                             const std::vector<int32_t>& rows) {
    std::vector<uint32_t> pixels;
    pixels.reserve(columns.size() * rows.size());
    for (int32_t sy : rows)
        for (int32_t sx : columns) {
            const uint8_t* p = picture.Rgb.data() + (static_cast<size_t>(sy) * picture.Width + sx) * 3;
            pixels.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
        }
    return pixels;
}

}  // namespace

std::string ReadRgbPng(const std::string& path, RgbPicture& picture) {
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
    if (image.width == 0 || image.height == 0) {
        png_image_free(&image);
        return "'" + path + "' is empty";
    }
    image.format = PNG_FORMAT_RGB;
    // Sized in size_t: PNG_IMAGE_SIZE is 32-bit arithmetic and wraps for large headers.
    picture.Rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    if (!png_image_finish_read(&image, nullptr, picture.Rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return "cannot decode '" + path + "': " + image.message;
    }
    picture.Width = static_cast<int32_t>(image.width);
    picture.Height = static_cast<int32_t>(image.height);
    return "";
}

std::string ReadBackgroundPng(const std::string& path, int32_t width, int32_t height, std::vector<uint32_t>& pixels) {
    RgbPicture picture;
    if (std::string error = ReadRgbPng(path, picture); !error.empty()) return error;
    pixels = Sample(picture, SourceIndices(picture.Width, width, width, 1),
                    SourceIndices(picture.Height, height, height, 1));
    return "";
}

std::vector<uint32_t> CoverPixels(const RgbPicture& picture, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || picture.Width <= 0 || picture.Height <= 0) return {};
    // Relatively wider than the picture: its width fits and its height is cut, else the
    // other way round.
    const int64_t pw = picture.Width, ph = picture.Height;
    if (int64_t{width} * ph >= int64_t{height} * pw)
        return Sample(picture, SourceIndices(picture.Width, width, width, 1),
                      SourceIndices(picture.Height, height, ph * width, pw));
    return Sample(picture, SourceIndices(picture.Width, width, pw * height, ph),
                  SourceIndices(picture.Height, height, height, 1));
}

}  // namespace wrigglet::image
