// The layout arithmetic of several monitors.
#include "core/monitor_layout.h"

#include <algorithm>
#include <numeric>

namespace wrigglet {

namespace {

std::string Describe(const PixelRect& r) {
    return std::to_string(r.Right - r.Left) + "x" + std::to_string(r.Bottom - r.Top) + "+" + std::to_string(r.Left) +
           "+" + std::to_string(r.Top);
}

bool TopLeftFirst(const PixelRect& a, const PixelRect& b) { return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left; }

}  // namespace

PixelRect VirtualRect(const std::vector<PixelRect>& monitors) { return BoundingRect(monitors); }

std::vector<PixelRect> OrderMonitors(std::vector<PixelRect> monitors, size_t primary) {
    std::vector<PixelRect> ordered;
    for (size_t i : MonitorOrder(monitors, primary)) ordered.push_back(monitors[i]);
    return ordered;
}

std::vector<size_t> MonitorOrder(const std::vector<PixelRect>& monitors, size_t primary) {
    std::vector<size_t> order(monitors.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (primary >= monitors.size()) return order;
    std::rotate(order.begin(), order.begin() + static_cast<ptrdiff_t>(primary),
                order.begin() + static_cast<ptrdiff_t>(primary) + 1);
    std::stable_sort(order.begin() + 1, order.end(),
                     [&monitors](size_t a, size_t b) { return TopLeftFirst(monitors[a], monitors[b]); });
    return order;
}

size_t OriginMonitor(const std::vector<PixelRect>& monitors) {
    const auto origin =
        std::find_if(monitors.begin(), monitors.end(), [](const PixelRect& r) { return r.Left == 0 && r.Top == 0; });
    const auto chosen =
        origin != monitors.end() ? origin : std::min_element(monitors.begin(), monitors.end(), TopLeftFirst);
    return static_cast<size_t>(chosen - monitors.begin());
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
