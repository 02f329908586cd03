// The formats as bit fields of a little-endian 32-bit word, and the transform as a walk
// through the buffer: each row of the upright picture is a straight line in it.
#include "wayland/screen_pixels.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace wrigglet::wayland {

namespace {

struct ShmLayout {
    uint32_t Format;
    int RedShift, GreenShift, BlueShift;
    int Bits;  // a colour's
};

// The alpha of the A formats is the X formats' padding here: the screen is opaque.
constexpr ShmLayout Layouts[] = {
    {WL_SHM_FORMAT_XRGB8888, 16, 8, 0, 8},      {WL_SHM_FORMAT_ARGB8888, 16, 8, 0, 8},
    {WL_SHM_FORMAT_XBGR8888, 0, 8, 16, 8},      {WL_SHM_FORMAT_ABGR8888, 0, 8, 16, 8},
    {WL_SHM_FORMAT_XRGB2101010, 20, 10, 0, 10}, {WL_SHM_FORMAT_ARGB2101010, 20, 10, 0, 10},
    {WL_SHM_FORMAT_XBGR2101010, 0, 10, 20, 10}, {WL_SHM_FORMAT_ABGR2101010, 0, 10, 20, 10},
};

const ShmLayout* LayoutOf(uint32_t format) {
    const auto found = std::find_if(std::begin(Layouts), std::end(Layouts),
                                    [format](const ShmLayout& l) { return l.Format == format; });
    return found == std::end(Layouts) ? nullptr : found;
}

struct Point {
    int32_t X, Y;
};

// Where the pixel (x, y) of the upright picture (width x height) lies in the buffer. A
// transform turns the picture counter-clockwise into the buffer, the flipped ones after a
// flip around the vertical axis.
Point BufferPoint(int32_t transform, int32_t width, int32_t height, int32_t x, int32_t y) {
    switch (transform) {
        case WL_OUTPUT_TRANSFORM_90:
            return {y, width - 1 - x};
        case WL_OUTPUT_TRANSFORM_180:
            return {width - 1 - x, height - 1 - y};
        case WL_OUTPUT_TRANSFORM_270:
            return {height - 1 - y, x};
        case WL_OUTPUT_TRANSFORM_FLIPPED:
            return {width - 1 - x, y};
        case WL_OUTPUT_TRANSFORM_FLIPPED_90:
            return {y, x};
        case WL_OUTPUT_TRANSFORM_FLIPPED_180:
            return {x, height - 1 - y};
        case WL_OUTPUT_TRANSFORM_FLIPPED_270:
            return {height - 1 - y, width - 1 - x};
        default:
            return {x, y};
    }
}

uint32_t Pixel(const ShmLayout& layout, const uint8_t* p) {
    const uint32_t word = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    const uint32_t mask = (1u << layout.Bits) - 1;
    const int drop = layout.Bits - 8;
    return ((word >> layout.RedShift & mask) >> drop) << 16 | ((word >> layout.GreenShift & mask) >> drop) << 8 |
           (word >> layout.BlueShift & mask) >> drop;
}

}  // namespace

bool ReadableFormat(uint32_t format) { return LayoutOf(format) != nullptr; }

std::optional<image::PixelPicture> ScreenPicture(const ScreenFrame& frame, const uint8_t* data) {
    const ShmLayout* layout = LayoutOf(frame.Format);
    if (!layout || frame.Width <= 0 || frame.Height <= 0 || frame.Stride / 4 < frame.Width) return std::nullopt;
    const bool turned = frame.Transform & 1;  // by 90 or 270 degrees
    image::PixelPicture picture{turned ? frame.Height : frame.Width, turned ? frame.Width : frame.Height, {}};
    picture.Pixels.resize(static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height));
    // The byte offset of an upright pixel is linear in x and y: found at three points.
    const auto offset = [&](int32_t x, int32_t y) {
        const Point at = BufferPoint(frame.Transform, picture.Width, picture.Height, x, y);
        const int32_t row = frame.YInvert ? frame.Height - 1 - at.Y : at.Y;
        return ptrdiff_t{row} * frame.Stride + ptrdiff_t{at.X} * 4;
    };
    const ptrdiff_t origin = offset(0, 0), stepX = offset(1, 0) - origin, stepY = offset(0, 1) - origin;
    uint32_t* out = picture.Pixels.data();
    for (int32_t y = 0; y < picture.Height; ++y) {
        ptrdiff_t at = origin + stepY * y;
        for (int32_t x = 0; x < picture.Width; ++x, at += stepX) *out++ = Pixel(*layout, data + at);
    }
    return picture;
}

}  // namespace wrigglet::wayland
