// The hack's command line, in XScreenSaver's single-dash style: where to draw, the five
// settings (sound aside) and the test switches.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/saver_settings.h"

namespace wrigglet::x11 {

struct HackOptions {
    std::optional<uint64_t> WindowId;  // -window-id
    bool Root = false;                 // -root
    int32_t Width = 1024;              // -geometry, for a window of its own
    int32_t Height = 768;
    std::string Display;  // -display; empty: $DISPLAY
    SaverSettings Settings{.Desktop = true, .Sound = false, .Text = false, .Speed = 2, .Wrigglets = 2};
    std::optional<uint32_t> Seed;  // every reseed uses it, as in the simulator
    std::optional<int64_t> Ticks;  // stop animating after this many ticks
    bool Help = false;
};

struct ParsedHackOptions {
    HackOptions Options;
    std::string Error;  // names the bad argument; empty when the command line is good
};

ParsedHackOptions ParseHackArguments(const std::vector<std::string>& arguments);

// One line, for a bad command line.
std::string HackUsageLine();

// The whole help text, for -help.
std::string HackHelp();

}  // namespace wrigglet::x11
