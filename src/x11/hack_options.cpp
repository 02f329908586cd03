// Parsing the hack's command line.
#include "x11/hack_options.h"

#include <charconv>

namespace wrigglet::x11 {

std::string HackUsageLine() {
    return "usage: wrigglet [-window-id ID | -root | -geometry WxH] [-desktop | -no-desktop] "
           "[-text | -no-text] [-speed 1..3] [-wrigglets 1..3] [-seed N] [-ticks N] [-display NAME] [-help]";
}

std::string HackHelp() {
    return HackUsageLine() +
           "\n"
           "Wrigglets crawl over the desktop and leave coloured trails; an XScreenSaver hack.\n"
           "  -window-id ID      draw into this window (decimal or 0x hex); XScreenSaver's\n"
           "                     XSCREENSAVER_WINDOW does the same\n"
           "  -root              draw on the root window, one scene per monitor\n"
           "  -geometry WxH      size of a window of its own (default 1024x768)\n"
           "  -desktop           start from a picture of the desktop (the default)\n"
           "  -no-desktop        start from black\n"
           "  -text, -no-text    let the trails write the three words (default off)\n"
           "  -speed N           1 slow, 2 normal, 3 turbo (default 2)\n"
           "  -wrigglets N       1 few, 2 normal, 3 lots (default 2)\n"
           "  -seed N            every reseed uses N (0..4294967295): the same run every time\n"
           "  -ticks N           stop animating after N ticks and keep showing that frame\n"
           "Sound is not played on Linux.\n";
}

namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text, int base = 10) {
    Number value{};
    const char* end = text.data() + text.size();
    if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<uint64_t> ParseWindowId(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseNumber<uint64_t>(text.substr(2), 16);
    return ParseNumber<uint64_t>(text);
}

std::optional<int32_t> ParseLevel(const std::string& text) {
    const auto level = ParseNumber<int32_t>(text);
    if (!level || *level < 1 || *level > 3) return std::nullopt;
    return level;
}

// XScreenSaver's hacks take WxH, WxH+X+Y or +X+Y; only the size matters here.
bool ParseGeometry(const std::string& text, HackOptions& options) {
    const std::string size = text.substr(0, text.find_first_of("+-"));
    if (size.empty()) return text[0] == '+' || text[0] == '-';
    const size_t cross = size.find('x');
    if (cross == std::string::npos) return false;
    const auto width = ParseNumber<int32_t>(size.substr(0, cross));
    const auto height = ParseNumber<int32_t>(size.substr(cross + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > 16384 || *height > 16384) return false;
    options.Width = *width;
    options.Height = *height;
    return true;
}

// Applies an option that takes a value; false when the value is bad.
bool ApplyValue(const std::string& name, const std::string& value, HackOptions& options) {
    if (name == "window-id") return (options.WindowId = ParseWindowId(value)).has_value();
    if (name == "geometry") return ParseGeometry(value, options);
    if (name == "display") return options.Display = value, true;
    if (name == "seed") return (options.Seed = ParseNumber<uint32_t>(value)).has_value();
    if (name == "ticks") return (options.Ticks = ParseNumber<int64_t>(value)).has_value();
    const auto level = ParseLevel(value);
    if (!level) return false;
    (name == "speed" ? options.Settings.Speed : options.Settings.Wrigglets) = *level;
    return true;
}

bool ApplySwitch(const std::string& name, HackOptions& options) {
    if (name == "root")
        options.Root = true;
    else if (name == "desktop" || name == "no-desktop")
        options.Settings.Desktop = name == "desktop";
    else if (name == "text" || name == "no-text")
        options.Settings.Text = name == "text";
    else if (name == "help" || name == "h")
        options.Help = true;
    else
        return false;
    return true;
}

bool TakesValue(const std::string& name) {
    return name == "window-id" || name == "geometry" || name == "display" || name == "seed" || name == "ticks" ||
           name == "speed" || name == "wrigglets";
}

}  // namespace

ParsedHackOptions ParseHackArguments(const std::vector<std::string>& arguments) {
    ParsedHackOptions parsed;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // "-name" as XScreenSaver writes it, "--name" as a shell user may.
        const size_t dashes = argument.rfind("--", 0) == 0 ? 2 : argument.rfind('-', 0) == 0 ? 1 : 0;
        const std::string name = argument.substr(dashes);
        bool good = dashes > 0 && !name.empty();
        if (good && TakesValue(name))
            good = i + 1 < arguments.size() && ApplyValue(name, arguments[++i], parsed.Options);
        else if (good)
            good = ApplySwitch(name, parsed.Options);
        if (!good) {
            parsed.Error = "bad argument '" + argument + "'";
            return parsed;
        }
    }
    return parsed;
}

}  // namespace wrigglet::x11
