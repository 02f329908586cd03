// Parsing wrigglet-sim's command line.
#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>

#include "core/monitor_layout.h"

namespace wrigglet::sim {

std::string SimUsage() {
    return "usage: wrigglet-sim [--size WxH | --monitors LAYOUT] [--seed N] [--wrigglets N] [--speed N] [--sound "
           "on|off]\n"
           "                    [--text on|off] [--ticks N] [--background FILE.png] [--png FILE.png]\n"
           "                    [--field FILE.bin] [--stats]\n"
           "  --size WxH          scene size, 1x1 to 8192x8192 (default 1024x768)\n"
           "  --monitors LAYOUT   several monitors, e.g. 1024x768+800+0,800x600+0+0: WxH+X+Y each, the\n"
           "                      primary first, positions on the virtual screen (may be negative); the\n"
           "                      picture is the whole virtual screen, black where no monitor is\n"
           "  --seed N            every reseed uses N (0..4294967295); default: the time of day\n"
           "  --wrigglets N       population setting: 1 few, 2 normal, 3 lots, other: none (default 2)\n"
           "  --speed N           1 slow, 2 normal, 3 turbo: four steps per tick (default 2)\n"
           "  --sound on|off      draw the sound changes as the saver does (default off)\n"
           "  --text on|off       imprint the three words with the best matching font (default off)\n"
           "  --ticks N           frame ticks to run after set-up (default 0)\n"
           "  --background FILE   start from this PNG, scaled to the size (default black)\n"
           "  --png FILE          write the visible frame as an 8-bit RGB PNG\n"
           "  --field FILE        write field cells x = 0..W, y = 0..H after set-up, little-endian int32,\n"
           "                      row by row (of the primary's scene)\n"
           "  --stats             print the set-up time, the mean tick time and what a tick sends\n";
}

namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text) {
    Number value{};
    const char* end = text.data() + text.size();
    if (text.empty() || text[0] == '+') return std::nullopt;
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<bool> ParseSwitch(const std::string& text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

bool ParseSize(const std::string& text, SimOptions& options) {
    const size_t cross = text.find('x');
    if (cross == std::string::npos) return false;
    const auto width = ParseNumber<int32_t>(text.substr(0, cross));
    const auto height = ParseNumber<int32_t>(text.substr(cross + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > MaxSimSize || *height > MaxSimSize) return false;
    options.Width = *width;
    options.Height = *height;
    return true;
}

// WxH[+-]X[+-]Y, e.g. 800x600+0+0 or 800x600-800+0.
std::optional<PixelRect> ParseMonitor(const std::string& text) {
    const size_t cross = text.find('x');
    const size_t xSign = text.find_first_of("+-", cross == std::string::npos ? 0 : cross);
    const size_t ySign = xSign == std::string::npos ? xSign : text.find_first_of("+-", xSign + 1);
    if (cross == std::string::npos || ySign == std::string::npos) return std::nullopt;
    const auto width = ParseNumber<int32_t>(text.substr(0, cross));
    const auto height = ParseNumber<int32_t>(text.substr(cross + 1, xSign - cross - 1));
    const auto position = [&](size_t sign, size_t end) -> std::optional<int32_t> {
        const auto n = ParseNumber<int32_t>(text.substr(sign + 1, end - sign - 1));
        if (!n || *n > MaxSimExtent) return std::nullopt;
        return text[sign] == '-' ? -*n : *n;
    };
    const auto x = position(xSign, ySign), y = position(ySign, text.size());
    if (!width || !height || !x || !y || *width > MaxSimExtent || *height > MaxSimExtent) return std::nullopt;
    return PixelRect{*x, *y, *x + *width, *y + *height};
}

std::string ParseMonitors(const std::string& text, SimOptions& options) {
    std::vector<PixelRect> monitors;
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const auto monitor = ParseMonitor(item);
        if (!monitor) return "--monitors wants WxH+X+Y for each monitor, not '" + item + "'";
        monitors.push_back(*monitor);
        start = comma + 1;
    }
    if (std::string error = CheckMonitorLayout(monitors, MaxSimSize, MaxSimExtent); !error.empty())
        return "--monitors: " + error;
    const PixelRect box = VirtualRect(monitors);
    options.Monitors = monitors;
    options.Width = box.Right - box.Left;
    options.Height = box.Bottom - box.Top;
    return "";
}

using ValueHandler = std::function<std::string(const std::string&, SimOptions&)>;

// Each handler answers an error line, or an empty string when the value is good.
const std::map<std::string, ValueHandler>& ValueOptions() {
    static const std::map<std::string, ValueHandler> handlers{
        {"--size",
         [](const std::string& v, SimOptions& o) {
             return ParseSize(v, o) ? "" : "--size wants WxH with each side 1..8192, not '" + v + "'";
         }},
        {"--monitors", [](const std::string& v, SimOptions& o) { return ParseMonitors(v, o); }},
        {"--seed",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto seed = ParseNumber<uint32_t>(v);
             if (!seed) return "--seed wants a decimal number 0..4294967295, not '" + v + "'";
             o.Seed = *seed;
             return "";
         }},
        {"--wrigglets",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto n = ParseNumber<int32_t>(v);
             if (!n) return "--wrigglets wants a whole number, not '" + v + "'";
             o.Settings.Wrigglets = *n;
             return "";
         }},
        {"--speed",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto n = ParseNumber<int32_t>(v);
             if (!n) return "--speed wants a whole number, not '" + v + "'";
             o.Settings.Speed = *n;
             return "";
         }},
        {"--sound",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto on = ParseSwitch(v);
             if (!on) return "--sound wants on or off, not '" + v + "'";
             o.Settings.Sound = *on;
             return "";
         }},
        {"--text",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto on = ParseSwitch(v);
             if (!on) return "--text wants on or off, not '" + v + "'";
             o.Settings.Text = *on;
             return "";
         }},
        {"--ticks",
         [](const std::string& v, SimOptions& o) -> std::string {
             const auto n = ParseNumber<int64_t>(v);
             if (!n || *n < 0 || *n > 1000000000) return "--ticks wants a number 0..1000000000, not '" + v + "'";
             o.Ticks = *n;
             return "";
         }},
        {"--background",
         [](const std::string& v, SimOptions& o) {
             o.BackgroundPng = v;
             return std::string();
         }},
        {"--png",
         [](const std::string& v, SimOptions& o) {
             o.OutputPng = v;
             return std::string();
         }},
        {"--field",
         [](const std::string& v, SimOptions& o) {
             o.OutputField = v;
             return std::string();
         }},
    };
    return handlers;
}

}  // namespace

ParsedOptions ParseSimArguments(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    bool sizeGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--stats" || name == "--help" || name == "-h") {
            if (value) return {parsed.Options, name + " takes no value"};
            (name == "--stats" ? parsed.Options.Stats : parsed.Options.Help) = true;
            continue;
        }
        const auto handler = ValueOptions().find(name);
        if (handler == ValueOptions().end()) return {parsed.Options, "unknown argument '" + arguments[i] + "'"};
        if (!value) {
            if (i + 1 >= arguments.size()) return {parsed.Options, name + " needs a value"};
            value = arguments[++i];
        }
        if (std::string error = handler->second(*value, parsed.Options); !error.empty()) return {parsed.Options, error};
        if (value->empty()) return {parsed.Options, name + " needs a value"};
        sizeGiven |= name == "--size";
    }
    if (sizeGiven && !parsed.Options.Monitors.empty())
        return {parsed.Options, "--size and --monitors don't go together: --size is the one-monitor form"};
    return parsed;
}

}  // namespace wrigglet::sim
