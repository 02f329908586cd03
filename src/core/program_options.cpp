// Parsing a command line against a table of options, and the usage and help made from the table.
#include "core/program_options.h"

#include <algorithm>
#include <charconv>

namespace wrigglet {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Dashed(const OptionSyntax& syntax, const std::string& body) {
    return (syntax.SingleDash ? "-" : "--") + body;
}

// A spelling that names a row: its Name, or its Negation.
struct Spelling {
    const std::string* Body;
    const ProgramOption* Option;
    bool Negated;
};

std::vector<Spelling> Spellings(const OptionTable& table) {
    std::vector<Spelling> spellings;
    for (const ProgramOption& option : table) {
        spellings.push_back({&option.Name, &option, false});
        if (!option.Negation.empty()) spellings.push_back({&option.Negation, &option, true});
    }
    return spellings;
}

struct Match {
    const Spelling* Found = nullptr;
    std::string Ambiguous;  // the options a prefix fits, when more than one
};

// The option's name without its dashes, or empty when the syntax takes no such dashes.
std::string Body(const OptionSyntax& syntax, const std::string& spelling) {
    if (spelling.rfind("--", 0) == 0) return syntax.DoubleDash ? spelling.substr(2) : "";
    if (spelling.rfind('-', 0) == 0) return syntax.SingleDash ? spelling.substr(1) : "";
    return "";
}

Match FindOption(const std::vector<Spelling>& spellings, const OptionSyntax& syntax, const std::string& spelling) {
    for (const Spelling& s : spellings)
        if (!s.Option->Short.empty() && spelling == "-" + s.Option->Short && !s.Negated) return {&s, ""};
    const std::string body = Body(syntax, spelling);
    if (body.empty()) return {};
    for (const Spelling& s : spellings)
        if (*s.Body == body) return {&s, ""};
    if (!syntax.Abbreviations) return {};
    Match match;
    int fits = 0;
    for (const Spelling& s : spellings) {
        if (s.Body->rfind(body, 0) != 0) continue;
        match.Found = &s;
        match.Ambiguous += (fits++ ? ", " : "") + Dashed(syntax, *s.Body);
    }
    if (fits < 2) match.Ambiguous.clear();
    return match;
}

// "[-a N | -b | -no-b]" for the rows of one group (or one row), from first up to the returned end.
size_t UsageItem(const OptionTable& table, const OptionSyntax& syntax, size_t first, std::string& item) {
    size_t end = first;
    item = "[";
    do {
        const ProgramOption& option = table[end];
        if (end > first) item += " | ";
        item += Dashed(syntax, option.Name) + (option.ValueName.empty() ? "" : " " + option.ValueName);
        if (!option.Negation.empty()) item += " | " + Dashed(syntax, option.Negation);
        ++end;
    } while (end < table.size() && table[first].Group != 0 && table[end].Group == table[first].Group);
    item += "]";
    return end;
}

std::string HelpLeft(const ProgramOption& option, const OptionSyntax& syntax) {
    std::string left = Dashed(syntax, option.Name) + (option.ValueName.empty() ? "" : " " + option.ValueName);
    if (!option.Negation.empty()) left += ", " + Dashed(syntax, option.Negation);
    if (!option.Short.empty()) left += ", -" + option.Short;
    return left;
}

// Digits at pos, within int32; pos moves past them.
bool ReadNumber(const std::string& text, size_t& pos, int32_t& value) {
    size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == pos) return false;
    if (std::from_chars(text.data() + pos, text.data() + end, value).ec != std::errc{}) return false;
    pos = end;
    return true;
}

bool ReadOffset(const std::string& text, size_t& pos, int32_t& value, bool& negative) {
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) return false;
    negative = text[pos++] == '-';
    if (!ReadNumber(text, pos, value)) return false;
    if (negative) value = -value;
    return true;
}

std::string NumberWanted(const NumberRange& range) {
    std::string what = "a whole number";
    if (range.Stated && range.Highest == std::numeric_limits<int64_t>::max())
        what += " " + std::to_string(range.Lowest) + " or more";
    else if (range.Stated)
        what += " " + std::to_string(range.Lowest) + ".." + std::to_string(range.Highest);
    return range.Hex ? what + ", decimal or 0x hex" : what;
}

std::string CheckText(const std::string& spelling, const std::string& value) {
    return value.empty() ? spelling + " needs a value" : "";
}

}  // namespace

std::string ParseProgramOptions(const OptionTable& table, const OptionSyntax& syntax,
                                const std::vector<std::string>& arguments) {
    const std::vector<Spelling> spellings = Spellings(table);
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string spelling = arguments[i];
        std::optional<std::string> value;
        if (const size_t equals = spelling.find('=');
            syntax.EqualsValue && spelling.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = spelling.substr(equals + 1);
            spelling.resize(equals);
        }
        const Match match = FindOption(spellings, syntax, spelling);
        if (!match.Ambiguous.empty()) return "'" + spelling + "' is ambiguous: " + match.Ambiguous;
        if (!match.Found) return "unknown argument '" + arguments[i] + "'";
        const ProgramOption& option = *match.Found->Option;
        if (option.ValueName.empty()) {
            if (value) return spelling + " takes no value";
            option.SetFlag(!match.Found->Negated);
            continue;
        }
        if (!value && i + 1 >= arguments.size()) return spelling + " needs a value";
        if (!value && !option.DashValues && arguments[i + 1].rfind('-', 0) == 0)
            return spelling + " needs a value, not the option '" + arguments[i + 1] + "'";
        if (!value) value = arguments[++i];
        if (std::string error = option.TakeValue(spelling, *value); !error.empty()) return error;
    }
    return "";
}

std::string ProgramUsage(const OptionTable& table, const OptionSyntax& syntax, size_t width) {
    std::string usage = "usage: " + syntax.Program;
    const size_t indent = usage.size() + 1;
    size_t lineStart = 0;
    for (size_t row = 0; row < table.size();) {
        if (table[row].Ignored) {
            ++row;
            continue;
        }
        std::string item;
        row = UsageItem(table, syntax, row, item);
        if (width && usage.size() - lineStart + 1 + item.size() > width) {
            lineStart = usage.size() + 1;
            usage += "\n" + std::string(indent - 1, ' ');
        }
        usage += " " + item;
    }
    return usage;
}

std::string OptionHelp(const OptionTable& table, const OptionSyntax& syntax) {
    size_t column = 0;
    for (const ProgramOption& option : table)
        if (!option.Ignored) column = std::max(column, HelpLeft(option, syntax).size());
    column += 4;
    std::string help, ignored;
    for (const ProgramOption& option : table) {
        if (option.Ignored) {
            ignored += (ignored.empty() ? "" : ", ") + HelpLeft(option, syntax);
            continue;
        }
        std::string left = "  " + HelpLeft(option, syntax);
        for (size_t start = 0; start <= option.Help.size();) {
            const size_t end = std::min(option.Help.find('\n', start), option.Help.size());
            help += left + std::string(column - left.size(), ' ') + option.Help.substr(start, end - start) + "\n";
            left.clear();
            start = end + 1;
        }
    }
    return ignored.empty() ? help : help + "  accepted and ignored: " + ignored + "\n";
}

std::string WantsMessage(const std::string& spelling, const std::string& what, const std::string& value) {
    return spelling + " wants " + what + ", not '" + value + "'";
}

std::optional<int64_t> ParseWholeNumber(const std::string& text, int64_t lowest, int64_t highest, bool hex) {
    const bool negative = text.rfind('-', 0) == 0;
    size_t start = negative ? 1 : 0;
    int base = 10;
    if (hex && !negative && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        start = 2;
        base = 16;
    }
    uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + start, end, magnitude, base);
    if (start == text.size() || error != std::errc{} || stop != end) return std::nullopt;
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit) return std::nullopt;
    const int64_t value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    if (value < lowest || value > highest) return std::nullopt;
    return value;
}

std::optional<Geometry> ParseGeometry(const std::string& text) {
    Geometry geometry;
    size_t pos = 0;
    if (!text.empty() && IsDigit(text[0])) {
        int32_t width = 0, height = 0;
        if (!ReadNumber(text, pos, width) || pos >= text.size() || (text[pos] != 'x' && text[pos] != 'X'))
            return std::nullopt;
        if (!ReadNumber(text, ++pos, height)) return std::nullopt;
        geometry.Width = width;
        geometry.Height = height;
    }
    if (pos < text.size() || text.empty()) {
        GeometryPosition position;
        if (!ReadOffset(text, pos, position.X, position.XNegative) ||
            !ReadOffset(text, pos, position.Y, position.YNegative) || pos != text.size())
            return std::nullopt;
        geometry.Position = position;
    }
    return geometry;
}

ProgramOption InGroup(int group, ProgramOption option) {
    option.Group = group;
    return option;
}

ProgramOption FlagOption(std::string name, bool& target, std::string help, std::string negation) {
    ProgramOption option{.Name = std::move(name), .Negation = std::move(negation), .Help = std::move(help)};
    option.SetFlag = [&target](bool on) { target = on; };
    return option;
}

ProgramOption IgnoredFlag(std::string name, std::string negation) {
    ProgramOption option{.Name = std::move(name), .Negation = std::move(negation), .Ignored = true};
    option.SetFlag = [](bool) {};
    return option;
}

ProgramOption IgnoredValue(std::string name, std::string valueName) {
    ProgramOption option{
        .Name = std::move(name), .ValueName = std::move(valueName), .Ignored = true, .DashValues = false};
    option.TakeValue = CheckText;
    return option;
}

ProgramOption TextOption(std::string name, std::string valueName, std::string& target, std::string help) {
    ProgramOption option{
        .Name = std::move(name), .ValueName = std::move(valueName), .Help = std::move(help), .DashValues = false};
    option.TakeValue = [&target](const std::string& spelling, const std::string& value) {
        std::string error = CheckText(spelling, value);
        if (error.empty()) target = value;
        return error;
    };
    return option;
}

ProgramOption SizeOption(std::string name, int32_t& width, int32_t& height, int32_t maxSide, std::string help) {
    ProgramOption option{.Name = std::move(name), .ValueName = "WxH", .Help = std::move(help)};
    option.TakeValue = [&width, &height, maxSide](const std::string& spelling, const std::string& value) {
        const auto size = ParseGeometry(value);
        if (!size || !size->Width || size->Position || *size->Width < 1 || *size->Height < 1 ||
            *size->Width > maxSide || *size->Height > maxSide)
            return WantsMessage(spelling, "WxH with each side 1.." + std::to_string(maxSide), value);
        width = *size->Width;
        height = *size->Height;
        return std::string();
    };
    return option;
}

ProgramOption GeometryOption(std::string name, int32_t& width, int32_t& height,
                             std::optional<GeometryPosition>& position, int32_t maxSide, int32_t maxOffset,
                             std::string help) {
    ProgramOption option{.Name = std::move(name), .ValueName = "WxH+X+Y", .Help = std::move(help)};
    option.TakeValue = [&width, &height, &position, maxSide, maxOffset](const std::string& spelling,
                                                                        const std::string& value) {
        const auto geometry = ParseGeometry(value);
        const auto within = [](int32_t n, int32_t low, int32_t high) { return n >= low && n <= high; };
        const bool good =
            geometry &&
            (!geometry->Width || (within(*geometry->Width, 1, maxSide) && within(*geometry->Height, 1, maxSide))) &&
            (!geometry->Position || (within(geometry->Position->X, -maxOffset, maxOffset) &&
                                     within(geometry->Position->Y, -maxOffset, maxOffset)));
        if (!good)
            return WantsMessage(spelling,
                                "WxH, WxH+X+Y or +X+Y with each side 1.." + std::to_string(maxSide) +
                                    " and each offset up to " + std::to_string(maxOffset),
                                value);
        if (geometry->Width) width = *geometry->Width, height = *geometry->Height;
        if (geometry->Position) position = geometry->Position;
        return std::string();
    };
    return option;
}

ProgramOption NumberOption(std::string name, std::string valueName, NumberRange range,
                           std::function<void(int64_t)> store, std::string help) {
    ProgramOption option{.Name = std::move(name), .ValueName = std::move(valueName), .Help = std::move(help)};
    option.TakeValue = [range, store = std::move(store)](const std::string& spelling, const std::string& value) {
        const auto number = ParseWholeNumber(value, range.Lowest, range.Highest, range.Hex);
        if (!number) return WantsMessage(spelling, NumberWanted(range), value);
        store(*number);
        return std::string();
    };
    return option;
}

OptionTable SceneOptionRows(SceneOptions& scene) {
    SaverSettings& settings = scene.Settings;
    return {
        FlagOption("desktop", settings.Desktop, "start from a picture of the desktop (the default), or from black",
                   "no-desktop"),
        FlagOption("text", settings.Text, "let the trails write the three words (default off)", "no-text"),
        NumberOption("speed", "1..3", settings.Speed, {.Lowest = 1, .Highest = 3},
                     "1 slow, 2 normal, 3 turbo (default 2)"),
        NumberOption("wrigglets", "1..3", settings.Wrigglets, {.Lowest = 1, .Highest = 3},
                     "1 few, 2 normal, 3 lots (default 2)"),
        NumberOption("seed", "N", scene.Seed, {.Lowest = 0, .Highest = std::numeric_limits<uint32_t>::max()},
                     "every reseed uses N (0..4294967295): the same run every time"),
        NumberOption("ticks", "N", scene.TickLimit, {.Lowest = 0},
                     "stop animating after N ticks and keep showing that frame"),
    };
}

}  // namespace wrigglet
