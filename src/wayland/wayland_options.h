// wrigglet-wayland's command line: the scene's options, the picture underneath, -help.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/scene_session.h"

namespace wrigglet::wayland {

struct WaylandOptions {
    SceneOptions Scene;           // the settings (sound aside), -seed and -ticks
    std::string Picture;          // -picture: a PNG for the desktop; empty: the outputs' contents
    std::optional<int32_t> Idle;  // -idle: keep running, the scenes after this many seconds without input
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

}  // namespace wrigglet::wayland
