// Rectangle arithmetic.
#include "core/pixel_rect.h"

#include <algorithm>

namespace wrigglet {

PixelRect ClipRect(const PixelRect& r, const PixelRect& bounds) {
    PixelRect clipped;
    clipped.Left = std::clamp(r.Left, bounds.Left, std::max(bounds.Left, bounds.Right));
    clipped.Right = std::clamp(r.Right, clipped.Left, std::max(clipped.Left, bounds.Right));
    clipped.Top = std::clamp(r.Top, bounds.Top, std::max(bounds.Top, bounds.Bottom));
    clipped.Bottom = std::clamp(r.Bottom, clipped.Top, std::max(clipped.Top, bounds.Bottom));
    return clipped;
}

bool RectsOverlap(const PixelRect& a, const PixelRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

PixelRect BoundingRect(const std::vector<PixelRect>& rects) {
    if (rects.empty()) return {};
    PixelRect box = rects.front();
    for (const PixelRect& r : rects) {
        box.Left = std::min(box.Left, r.Left);
        box.Top = std::min(box.Top, r.Top);
        box.Right = std::max(box.Right, r.Right);
        box.Bottom = std::max(box.Bottom, r.Bottom);
    }
    return box;
}

std::vector<PixelRect> RectBands(std::vector<PixelRect> rects, size_t bands) {
    if (rects.empty()) return {};
    std::stable_sort(rects.begin(), rects.end(), [](const PixelRect& a, const PixelRect& b) { return a.Top < b.Top; });
    bands = std::clamp<size_t>(bands, 1, rects.size());
    std::vector<PixelRect> result;
    for (size_t band = 0; band < bands; ++band) {
        const auto first = rects.begin() + static_cast<ptrdiff_t>(band * rects.size() / bands);
        const auto last = rects.begin() + static_cast<ptrdiff_t>((band + 1) * rects.size() / bands);
        result.push_back(BoundingRect({first, last}));
    }
    return result;
}

void FillRect(uint32_t* pixels, int32_t stride, const PixelRect& rect, uint32_t value) {
    if (IsEmptyRect(rect)) return;
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
        std::fill_n(pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(rect.Left),
                    RectWidth(rect), value);
}

void CopyRect(const uint32_t* from, uint32_t* to, int32_t stride, const PixelRect& rect) {
    if (IsEmptyRect(rect)) return;
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        const size_t start = static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(rect.Left);
        std::copy_n(from + start, RectWidth(rect), to + start);
    }
}

bool CopyAreaOrBlack(const PixelSource& source, const PixelRect& area, uint32_t* out, const StopRequest& stop) {
    const size_t width = static_cast<size_t>(std::max(RectWidth(area), 0));
    const PixelRect shown = ClipRect(area, {0, 0, source.Width, source.Height});
    const size_t before = static_cast<size_t>(shown.Left - area.Left), inside = static_cast<size_t>(RectWidth(shown));
    for (int32_t y = area.Top; y < area.Bottom; ++y, out += width) {
        if (StopDue(stop)) return false;
        if (y < shown.Top || y >= shown.Bottom || inside == 0) {
            std::fill_n(out, width, 0u);
            continue;
        }
        std::fill_n(out, before, 0u);
        std::copy_n(source.Pixels + static_cast<size_t>(y) * static_cast<size_t>(source.Width) +
                        static_cast<size_t>(shown.Left),
                    inside, out + before);
        std::fill_n(out + before + inside, width - before - inside, 0u);
    }
    return true;
}

}  // namespace wrigglet
