// wrigglet-wayland's command line: the scene's options, the picture underneath, -help.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/pixel_rect.h"
#include "core/saver_settings.h"

namespace wrigglet::wayland {

struct WaylandOptions {
    SaverSettings Settings{.Desktop = true, .Sound = false, .Text = false, .Speed = 2, .Wrigglets = 2};
    std::optional<uint32_t> Seed;  // every reseed uses it, as in the simulator
    std::optional<int64_t> Ticks;  // stop animating after this many ticks
    std::string Picture;           // -picture: a PNG for the desktop; empty: the outputs' contents
    std::optional<int32_t> Idle;   // -idle: keep running, the scenes after this many seconds without input
    bool Help = false;
};

struct ParsedWaylandOptions {
    WaylandOptions Options;
    std::string Error;  // names the bad argument; empty when the command line is good
};

ParsedWaylandOptions ParseWaylandArguments(const std::vector<std::string>& arguments);

// One line, for a bad command line.
std::string WaylandUsageLine();

// The whole help text, for -help.
std::string WaylandHelp();

// The order the outputs' scenes are numbered in, as indices into `logical` (the outputs'
// rectangles in the compositor's logical space): the one at (0,0) first, then from the top
// down and, at the same top, from the left.
std::vector<size_t> OutputOrder(const std::vector<PixelRect>& logical);

}  // namespace wrigglet::wayland
