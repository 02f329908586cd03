// Pictures scaled by nearest pixel: which source pixel each pixel of the result takes,
// whether the source is in memory or read a row at a time.
#pragma once

#include <cstdint>
#include <vector>

namespace wrigglet::image {

// 0x00RRGGBB pixels, row by row.
struct PixelPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

// For each column of a result the source column it takes, for each row the source row.
// Both are in order (never decreasing), so a source read from the top down fills the
// result's rows in order.
struct SampleGrid {
    std::vector<int32_t> Columns;
    std::vector<int32_t> Rows;
};

// `count` samples along a side of `source` pixels scaled by `scale / per` (result pixels a
// source pixel, so that the scaled side spans at least `count`) and centred: the middle
// `count` are taken, each the source pixel under its top-left corner.
std::vector<int32_t> SourceIndices(int32_t source, int32_t count, int64_t scale, int64_t per);

// A picture stretched to width x height.
SampleGrid StretchGrid(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height);

// A picture scaled to cover width x height, keeping its proportions and centred: what
// sticks out is cut off. A picture of the same proportions is exactly the stretched one.
SampleGrid CoverGrid(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height);

// The grid's pixels of the picture.
PixelPicture Sample(const PixelPicture& picture, const SampleGrid& grid);

// The picture scaled to cover width x height (CoverGrid); empty for an empty size or picture.
PixelPicture CoverPixels(const PixelPicture& picture, int32_t width, int32_t height);

}  // namespace wrigglet::image
