// wrigglet-wayland's command line: the scene's options and the picture underneath.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/scene_session.h"
#include "posix/program_entry.h"

namespace wrigglet::wayland {

struct WaylandOptions {
    SceneOptions Scene;           // the settings (sound aside), -seed and -ticks
    std::string Picture;          // -picture: a PNG for the desktop; empty: the outputs' contents
    std::optional<int32_t> Idle;  // -idle: keep running, the scenes after this many seconds without input
};

// The program's options bound to `options`, its spelling and its help's words, for the entry.
posix::ProgramCommandLine WaylandCommandLine(WaylandOptions& options);

}  // namespace wrigglet::wayland
