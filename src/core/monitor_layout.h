// Several monitors on one virtual screen: the screen's bounding rectangle, the order the
// monitors' scenes are numbered and seeded in, and the parts of the screen no monitor covers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/frame.h"

namespace wrigglet {

// Scene i seeds with the primary's seed plus i times this, so monitors of equal size don't
// mirror each other (an odd step: every index gives a different seed).
inline constexpr uint32_t MonitorSeedStep = 0x9E3779B9u;

inline uint32_t MonitorSeed(uint32_t seed, size_t index) {
    return seed + static_cast<uint32_t>(index) * MonitorSeedStep;
}

// The monitors as the platform lists them, and which of them is the primary.
struct MonitorList {
    std::vector<PixelRect> Rects;
    size_t Primary = 0;
};

// The smallest rectangle holding every monitor; empty (all zero) for none.
PixelRect VirtualRect(const std::vector<PixelRect>& monitors);

// The primary (monitors[primary]) first, then the others from the top down and, at the
// same top, from the left: the order does not depend on how the platform lists them.
std::vector<PixelRect> OrderMonitors(std::vector<PixelRect> monitors, size_t primary);

// The same order as indices into `monitors`, for a front end that orders its own outputs.
std::vector<size_t> MonitorOrder(const std::vector<PixelRect>& monitors, size_t primary);

// The primary where the platform names none (Wayland): the monitor at the origin, else the
// top-left one (the first listed of equals).
size_t OriginMonitor(const std::vector<PixelRect>& monitors);

// Each monitor's rectangle measured from the virtual rectangle's top-left corner: its part
// of the window's picture.
std::vector<PixelRect> MonitorAreas(const std::vector<PixelRect>& monitors);

// The parts of the virtual rectangle no monitor covers, measured from its top-left corner,
// as rectangles that don't overlap one another.
std::vector<PixelRect> UncoveredRects(const std::vector<PixelRect>& monitors);

// Why the layout can't be simulated, or an empty string: no monitors, a side outside
// 1..maxSide, a virtual rectangle wider or taller than maxExtent, or two monitors overlapping.
std::string CheckMonitorLayout(const std::vector<PixelRect>& monitors, int32_t maxSide, int32_t maxExtent);

}  // namespace wrigglet
