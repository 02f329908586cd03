// wrigglet-sim's options as a table for the shared parser, and the layout of --monitors.
#include "sim/sim_options.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "core/monitor_layout.h"
#include "core/program_options.h"

namespace wrigglet::sim {

namespace {

const OptionSyntax SimSyntax{.Program = "wrigglet-sim", .SingleDash = false, .DoubleDash = true, .EqualsValue = true};

// WxH[+-]X[+-]Y, e.g. 800x600+0+0 or 800x600-800+0: positions on the virtual screen.
std::optional<PixelRect> ParseMonitor(const std::string& text) {
    const auto geometry = ParseGeometry(text);
    if (!geometry || !geometry->Width || !geometry->Position) return std::nullopt;
    const int32_t width = *geometry->Width, height = *geometry->Height;
    const int32_t x = geometry->Position->X, y = geometry->Position->Y;
    if (width > MaxSimExtent || height > MaxSimExtent || std::abs(x) > MaxSimExtent || std::abs(y) > MaxSimExtent)
        return std::nullopt;
    return PixelRect{x, y, x + width, y + height};
}

std::string ParseMonitors(const std::string& spelling, const std::string& text, SimOptions& options) {
    std::vector<PixelRect> monitors;
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const auto monitor = ParseMonitor(item);
        if (!monitor) return WantsMessage(spelling, "WxH+X+Y for each monitor", item);
        monitors.push_back(*monitor);
        start = comma + 1;
    }
    if (std::string error = CheckMonitorLayout(monitors, MaxSimSize, MaxSimExtent); !error.empty())
        return spelling + ": " + error;
    const PixelRect box = VirtualRect(monitors);
    options.Monitors = monitors;
    options.Width = box.Right - box.Left;
    options.Height = box.Bottom - box.Top;
    return "";
}

ProgramOption OnOffOption(std::string name, bool& target, std::string help) {
    ProgramOption option{.Name = std::move(name), .ValueName = "on|off", .Help = std::move(help)};
    option.TakeValue = [&target](const std::string& spelling, const std::string& value) {
        if (value != "on" && value != "off") return WantsMessage(spelling, "on or off", value);
        target = value == "on";
        return std::string();
    };
    return option;
}

OptionTable SimOptionTable(SimOptions& o, const std::shared_ptr<bool>& sizeGiven) {
    ProgramOption size = InGroup(
        1, SizeOption("size", o.Width, o.Height, MaxSimSize, "scene size, 1x1 to 8192x8192 (default 1024x768)"));
    size.TakeValue = [take = size.TakeValue, sizeGiven](const std::string& spelling, const std::string& value) {
        std::string error = take(spelling, value);
        *sizeGiven |= error.empty();
        return error;
    };
    ProgramOption monitors{.Name = "monitors",
                           .ValueName = "LAYOUT",
                           .Help =
                               "several monitors, e.g. 1024x768+800+0,800x600+0+0: WxH+X+Y each, the\n"
                               "primary first, positions on the virtual screen (may be negative); the\n"
                               "picture is the whole virtual screen, black where no monitor is",
                           .Group = 1};
    monitors.TakeValue = [&o](const std::string& spelling, const std::string& value) {
        return ParseMonitors(spelling, value, o);
    };
    const NumberRange anyInt32{
        .Lowest = std::numeric_limits<int32_t>::min(), .Highest = std::numeric_limits<int32_t>::max(), .Stated = false};
    return {
        size,
        monitors,
        NumberOption("seed", "N", o.Seed, {.Lowest = 0, .Highest = std::numeric_limits<uint32_t>::max()},
                     "every reseed uses N (0..4294967295); default: the time of day"),
        NumberOption("wrigglets", "N", o.Settings.Wrigglets, anyInt32,
                     "population setting: 1 few, 2 normal, 3 lots, other: none (default 2)"),
        NumberOption("speed", "N", o.Settings.Speed, anyInt32,
                     "1 slow, 2 normal, 3 turbo: four steps per tick (default 2)"),
        OnOffOption("sound", o.Settings.Sound, "draw the sound changes as the saver does (default off)"),
        OnOffOption("text", o.Settings.Text, "imprint the three words with the best matching font (default off)"),
        NumberOption("ticks", "N", o.Ticks, {.Lowest = 0, .Highest = 1000000000},
                     "frame ticks to run after set-up (default 0)"),
        TextOption("background", "FILE.png", o.BackgroundPng,
                   "start from this PNG, scaled to the size (default black)"),
        TextOption("png", "FILE.png", o.OutputPng, "write the visible frame as an 8-bit RGB PNG"),
        TextOption("field", "FILE.bin", o.OutputField,
                   "write field cells x = 0..W, y = 0..H after set-up, little-endian int32,\n"
                   "row by row (of the primary's scene)"),
        FlagOption("stats", o.Stats, "print the set-up time, the mean tick time and what a tick sends"),
    };
}

}  // namespace

posix::ProgramCommandLine SimCommandLine(SimOptions& options) {
    const auto sizeGiven = std::make_shared<bool>(false);
    return {.Syntax = SimSyntax, .Table = SimOptionTable(options, sizeGiven), .Check = [&options, sizeGiven] {
                return *sizeGiven && !options.Monitors.empty()
                           ? std::string("--size and --monitors don't go together: --size is the one-monitor form")
                           : std::string();
            }};
}

}  // namespace wrigglet::sim
