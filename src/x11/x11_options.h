// The hack's command line, in XScreenSaver's single-dash style: where to draw, the five
// settings (sound aside), the test switches and the options every XScreenSaver hack takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/program_options.h"
#include "posix/program_entry.h"

namespace wrigglet::x11 {

inline constexpr int32_t MaxHackSide = 16384;
// X11 window coordinates are 16-bit.
inline constexpr int32_t MaxHackOffset = 32767;
// -delay: at most 10 s between ticks.
inline constexpr int32_t MaxHackDelay = 10000000;

struct X11Options {
    std::optional<uint64_t> WindowId;  // -window-id, at most 32 bits
    bool Root = false;                 // -root (-window clears it)
    int32_t Width = 1024;              // -geometry, for a window of its own
    int32_t Height = 768;
    std::optional<GeometryPosition> Position;  // -geometry's +X+Y; none: where the window manager puts it
    std::string Display;                       // -display; empty: $DISPLAY
    SceneOptions Scene;                        // the settings (sound aside), -seed and -ticks
    std::optional<int32_t> Delay;              // -delay: microseconds between ticks; none: the speed's
    bool Fps = false;                          // -fps: show the frame rate
};

// The hack's options bound to `options`, its spelling and its help's words, for the entry.
posix::ProgramCommandLine X11CommandLine(X11Options& options);

// Where -geometry puts a window of its own on a screen of this size: an offset written with
// '-' counts from the right or bottom edge to the window's, as in X11.
struct WindowPlacement {
    int32_t X = 0;
    int32_t Y = 0;
    bool Given = false;  // the user placed it; else the window manager does
    bool FromRight = false;
    bool FromBottom = false;
};
WindowPlacement PlaceOwnWindow(const X11Options& options, int32_t screenWidth, int32_t screenHeight);

}  // namespace wrigglet::x11
