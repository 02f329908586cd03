// The command-line programs' option parser: a table of options, each bound to the field it sets,
// gives the parsing, the one-line reason a command line is refused, the usage line and the help.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/scene_session.h"

namespace wrigglet {

// How a program spells its options.
struct OptionSyntax {
    std::string Program;         // the name the usage line starts with
    bool SingleDash = true;      // -name
    bool DoubleDash = false;     // --name
    bool EqualsValue = false;    // --name=value
    bool Abbreviations = false;  // -geom for -geometry, when no other option starts so
};

// One row of the table. A flag has no ValueName and sets through SetFlag (true for Name, false
// for Negation); an option with a value hands it to TakeValue, which answers the whole error
// line (it gets the spelling the user wrote) or an empty string when the value is good.
struct ProgramOption {
    std::string Name{};       // without dashes
    std::string Negation{};   // a flag's other spelling that clears it ("no-text"); may be empty
    std::string Short{};      // a one-letter spelling written with one dash ("h"); may be empty
    std::string ValueName{};  // "N", "WxH"; empty for a flag
    std::string Help{};       // for the help text; "\n" starts a further line
    int Group = 0;            // adjacent rows of the same non-zero group are alternatives in the usage
    bool Ignored = false;     // accepted and ignored: listed together at the end of the help
    // False: a value beginning with '-' is taken for the next option unless written --name=value,
    // so a forgotten value doesn't swallow it (numbers and geometries may be negative).
    bool DashValues = true;
    std::function<void(bool)> SetFlag{};
    std::function<std::string(const std::string& spelling, const std::string& value)> TakeValue{};
};

using OptionTable = std::vector<ProgramOption>;

// Applies the arguments to the table's fields in order; the one-line reason they are refused, or an
// empty string.
std::string ParseProgramOptions(const OptionTable& table, const OptionSyntax& syntax,
                                const std::vector<std::string>& arguments);

// "usage: PROGRAM [-a | -b] [-n N] ...", broken before an option into lines no wider than width
// (0: one line), the further lines indented under the first option.
std::string ProgramUsage(const OptionTable& table, const OptionSyntax& syntax, size_t width = 0);

// One or more lines per option, its spellings in a column of their own, then the ignored ones.
std::string OptionHelp(const OptionTable& table, const OptionSyntax& syntax);

// "SPELLING wants WHAT, not 'VALUE'": the usual answer of TakeValue.
std::string WantsMessage(const std::string& spelling, const std::string& what, const std::string& value);

// A whole number lowest..highest in decimal (a leading '-' is the only sign taken), or in hex after
// 0x when hex is set; nothing when it is malformed or out of range.
std::optional<int64_t> ParseWholeNumber(const std::string& text, int64_t lowest, int64_t highest, bool hex = false);

// An X11 geometry: WxH, WxH+X+Y or +X+Y. An offset written with '-' counts from the screen's right
// (bottom) edge to the window's, as in X11: X is then zero or negative and XNegative says so ("-0").
struct GeometryPosition {
    int32_t X = 0;
    int32_t Y = 0;
    bool XNegative = false;
    bool YNegative = false;
};

struct Geometry {
    std::optional<int32_t> Width, Height;  // both or neither
    std::optional<GeometryPosition> Position;
};

// Each number is plain decimal digits within int32; nothing when the text is no geometry.
std::optional<Geometry> ParseGeometry(const std::string& text);

// The kinds of row, bound to the fields they set.
ProgramOption InGroup(int group, ProgramOption option);
ProgramOption FlagOption(std::string name, bool& target, std::string help, std::string negation = "");
ProgramOption IgnoredFlag(std::string name, std::string negation = "");
ProgramOption IgnoredValue(std::string name, std::string valueName);
// A text that is not empty and (unless after '=') does not begin with '-'.
ProgramOption TextOption(std::string name, std::string valueName, std::string& target, std::string help);
// WxH with each side 1..maxSide.
ProgramOption SizeOption(std::string name, int32_t& width, int32_t& height, int32_t maxSide, std::string help);
// WxH, WxH+X+Y or +X+Y: sides 1..maxSide, offsets -maxOffset..maxOffset; sets only what is given.
ProgramOption GeometryOption(std::string name, int32_t& width, int32_t& height,
                             std::optional<GeometryPosition>& position, int32_t maxSide, int32_t maxOffset,
                             std::string help);

// The range a number option takes; Stated: said in the error line (else "a whole number" alone).
struct NumberRange {
    int64_t Lowest = std::numeric_limits<int64_t>::min();
    int64_t Highest = std::numeric_limits<int64_t>::max();
    bool Stated = true;
    bool Hex = false;  // 0x... too
};

ProgramOption NumberOption(std::string name, std::string valueName, NumberRange range,
                           std::function<void(int64_t)> store, std::string help);

// The integer a field holds, itself or in an optional.
template <typename T>
struct OptionalValue {
    using Type = T;
};
template <typename T>
struct OptionalValue<std::optional<T>> {
    using Type = T;
};

// A number stored into a field of any integer type (or an optional of one); the range must fit it.
template <typename Field>
ProgramOption NumberOption(std::string name, std::string valueName, Field& target, NumberRange range,
                           std::string help) {
    return NumberOption(
        std::move(name), std::move(valueName), range,
        [&target](int64_t value) { target = static_cast<typename OptionalValue<Field>::Type>(value); },
        std::move(help));
}

// The scene's own options, alike in every front end but the simulator: -desktop/-no-desktop,
// -text/-no-text, -speed 1..3, -wrigglets 1..3, -seed N, -ticks N (the tick limit).
OptionTable SceneOptionRows(SceneOptions& scene);

}  // namespace wrigglet
