// Nearest-pixel grids in whole numbers: the same source pixels on every machine.
#include "image/picture_sampling.h"

#include <cstddef>

namespace wrigglet::image {

std::vector<int32_t> SourceIndices(int32_t source, int32_t count, int64_t scale, int64_t per) {
    // Sample i lies at (i + (source * scale / per - count) / 2) * per / scale, floored.
    std::vector<int32_t> indices(static_cast<size_t>(count > 0 ? count : 0));
    for (int64_t i = 0; i < count; ++i)
        indices[static_cast<size_t>(i)] =
            static_cast<int32_t>((2 * i * per + source * scale - count * per) / (2 * scale));
    return indices;
}

SampleGrid StretchGrid(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height) {
    return {SourceIndices(pictureWidth, width, width, pictureWidth),
            SourceIndices(pictureHeight, height, height, pictureHeight)};
}

SampleGrid CoverGrid(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height) {
    // Relatively wider than the picture: its width fits and its height is cut, else the
    // other way round.
    const int64_t pw = pictureWidth, ph = pictureHeight;
    if (int64_t{width} * ph >= int64_t{height} * pw)
        return {SourceIndices(pictureWidth, width, width, pw), SourceIndices(pictureHeight, height, width, pw)};
    return {SourceIndices(pictureWidth, width, height, ph), SourceIndices(pictureHeight, height, height, ph)};
}

PixelPicture Sample(const PixelPicture& picture, const SampleGrid& grid) {
    PixelPicture result{static_cast<int32_t>(grid.Columns.size()), static_cast<int32_t>(grid.Rows.size()), {}};
    result.Pixels.reserve(grid.Columns.size() * grid.Rows.size());
    for (int32_t sy : grid.Rows) {
        const uint32_t* row = picture.Pixels.data() + static_cast<size_t>(sy) * static_cast<size_t>(picture.Width);
        for (int32_t sx : grid.Columns) result.Pixels.push_back(row[sx]);
    }
    return result;
}

PixelPicture CoverPixels(const PixelPicture& picture, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || picture.Width <= 0 || picture.Height <= 0) return {};
    return Sample(picture, CoverGrid(picture.Width, picture.Height, width, height));
}

}  // namespace wrigglet::image
