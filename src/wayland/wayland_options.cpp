// wrigglet-wayland's options as a table for the shared parser.
#include "wayland/wayland_options.h"

#include "core/program_options.h"

namespace wrigglet::wayland {

namespace {

// Spelled as the X11 hack spells its options, so one command line suits both programs.
const OptionSyntax WaylandSyntax{
    .Program = "wrigglet-wayland", .SingleDash = true, .DoubleDash = true, .Abbreviations = true};

OptionTable WaylandOptionTable(WaylandOptions& o) {
    OptionTable table = SceneOptionRows(o.Scene);
    table.push_back(TextOption("picture", "FILE", o.Picture,
                               "a PNG of any size to crawl over, scaled to cover each output (default:\n"
                               "what the outputs show at start, where the compositor lets them be copied)"));
    table.push_back(NumberOption("idle", "SECONDS", o.Idle, {1, 86400},
                                 "keep running: the scenes after SECONDS without input, until input"));
    table.push_back(FlagOption("help", o.Help, "print this help"));
    return table;
}

}  // namespace

std::string WaylandUsageLine() {
    WaylandOptions options;
    return ProgramUsage(WaylandOptionTable(options), WaylandSyntax);
}

std::string WaylandHelp() {
    WaylandOptions options;
    const OptionTable table = WaylandOptionTable(options);
    return ProgramUsage(table, WaylandSyntax, 100) +
           "\n"
           "Wrigglets crawl over the desktop and leave coloured trails, on every output of a Wayland\n"
           "session, until a key, a button, a touch or a move of the pointer; start it from an idle daemon.\n" +
           OptionHelp(table, WaylandSyntax) + "Sound is not played on Linux.\n";
}

ParsedWaylandOptions ParseWaylandArguments(const std::vector<std::string>& arguments) {
    ParsedWaylandOptions parsed;
    parsed.Error = ParseProgramOptions(WaylandOptionTable(parsed.Options), WaylandSyntax, arguments);
    return parsed;
}

}  // namespace wrigglet::wayland
