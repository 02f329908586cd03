// The layout arithmetic of several monitors.
#include "core/monitor_layout.h"

#include <algorithm>

namespace wrigglet {

namespace {

std::string Describe(const PixelRect& r) {
    return std::to_string(r.Right - r.Left) + "x" + std::to_string(r.Bottom - r.Top) + "+" + std::to_string(r.Left) +
           "+" + std::to_string(r.Top);
}

}  // namespace

PixelRect VirtualRect(const std::vector<PixelRect>& monitors) { return BoundingRect(monitors); }

std::vector<PixelRect> OrderMonitors(std::vector<PixelRect> monitors, size_t primary) {
    if (primary >= monitors.size()) return monitors;
    std::rotate(monitors.begin(), monitors.begin() + static_cast<ptrdiff_t>(primary),
                monitors.begin() + static_cast<ptrdiff_t>(primary) + 1);
    std::stable_sort(monitors.begin() + 1, monitors.end(), [](const PixelRect& a, const PixelRect& b) {
        return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
    });
    return monitors;
}

std::vector<PixelRect> MonitorAreas(const std::vector<PixelRect>& monitors) {
    const PixelRect box = VirtualRect(monitors);
    std::vector<PixelRect> areas;
    for (const PixelRect& m : monitors) areas.push_back(OffsetRect(m, -box.Left, -box.Top));
    return areas;
}

// Horizontal bands between consecutive monitor edges; in each, the gaps between the
// monitors that span it.
std::vector<PixelRect> UncoveredRects(const std::vector<PixelRect>& monitors) {
    const std::vector<PixelRect> areas = MonitorAreas(monitors);
    const PixelRect box = VirtualRect(areas);
    std::vector<int32_t> edges;
    for (const PixelRect& a : areas) edges.insert(edges.end(), {a.Top, a.Bottom});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<PixelRect> gaps;
    for (size_t band = 0; band + 1 < edges.size(); ++band) {
        const int32_t top = edges[band], bottom = edges[band + 1];
        std::vector<PixelRect> spans;
        for (const PixelRect& a : areas)
            if (a.Top <= top && a.Bottom >= bottom && a.Left < a.Right) spans.push_back(a);
        std::sort(spans.begin(), spans.end(), [](const PixelRect& a, const PixelRect& b) { return a.Left < b.Left; });
        int32_t x = box.Left;
        for (const PixelRect& s : spans) {
            if (s.Left > x) gaps.push_back({x, top, s.Left, bottom});
            x = std::max(x, s.Right);
        }
        if (x < box.Right) gaps.push_back({x, top, box.Right, bottom});
    }
    return gaps;
}

std::string CheckMonitorLayout(const std::vector<PixelRect>& monitors, int32_t maxSide, int32_t maxExtent) {
    if (monitors.empty()) return "no monitors: the first one given is the primary";
    for (const PixelRect& m : monitors) {
        const int32_t w = m.Right - m.Left, h = m.Bottom - m.Top;
        if (w < 1 || h < 1 || w > maxSide || h > maxSide)
            return "monitor " + Describe(m) + ": each side must be 1.." + std::to_string(maxSide);
    }
    const PixelRect box = VirtualRect(monitors);
    if (static_cast<int64_t>(box.Right) - box.Left > maxExtent ||
        static_cast<int64_t>(box.Bottom) - box.Top > maxExtent)
        return "the monitors span more than " + std::to_string(maxExtent) + " pixels";
    for (size_t i = 0; i < monitors.size(); ++i)
        for (size_t j = i + 1; j < monitors.size(); ++j)
            if (RectsOverlap(monitors[i], monitors[j]))
                return "monitors " + Describe(monitors[i]) + " and " + Describe(monitors[j]) + " overlap";
    return "";
}

}  // namespace wrigglet
