// Pixel rectangles and their arithmetic: bounds, offsets, clipping and bands, shared by the
// scene session and every front end's present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/stop_request.h"

namespace wrigglet {

// A pixel rectangle like a platform RECT: Left/Top inclusive, Right/Bottom exclusive.
struct PixelRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

inline int32_t RectWidth(const PixelRect& r) { return r.Right - r.Left; }
inline int32_t RectHeight(const PixelRect& r) { return r.Bottom - r.Top; }
inline bool IsEmptyRect(const PixelRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline uint64_t RectPixels(const PixelRect& r) {
    return IsEmptyRect(r) ? 0 : static_cast<uint64_t>(RectWidth(r)) * static_cast<uint64_t>(RectHeight(r));
}

// The rectangle moved by (dx, dy).
inline PixelRect OffsetRect(const PixelRect& r, int32_t dx, int32_t dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// The part of `r` inside `bounds`; an empty result is pinned inside `bounds`, never inverted.
PixelRect ClipRect(const PixelRect& r, const PixelRect& bounds);

bool RectsOverlap(const PixelRect& a, const PixelRect& b);

// The smallest rectangle holding every one of `rects`; all zero for none.
PixelRect BoundingRect(const std::vector<PixelRect>& rects);

// At most `bands` rectangles that together hold every one of `rects`: the rectangles by
// their top edge, in runs of equal count, each run's bounding box. Empty for no rectangles.
std::vector<PixelRect> RectBands(std::vector<PixelRect> rects, size_t bands);

// Fills `rect` of a picture whose rows are `stride` pixels apart with `value`.
void FillRect(uint32_t* pixels, int32_t stride, const PixelRect& rect, uint32_t value);

// Copies `rect` from one picture into the same place of another, both rows `stride` apart.
void CopyRect(const uint32_t* from, uint32_t* to, int32_t stride, const PixelRect& rect);

// A picture of Width x Height pixels in memory, its rows Width apart.
struct PixelSource {
    const uint32_t* Pixels = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
};

// Copies `area` (in the source's coordinates; it may reach beyond the source) into `out`,
// whose rows are the area's width apart: black wherever the source has no pixels. Asks
// `stop` before each row, since a huge area takes a good part of a second; false when
// stopped.
bool CopyAreaOrBlack(const PixelSource& source, const PixelRect& area, uint32_t* out, const StopRequest& stop = {});

}  // namespace wrigglet
