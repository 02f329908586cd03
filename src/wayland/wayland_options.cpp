// wrigglet-wayland's options as a table for the program entry.
#include "wayland/wayland_options.h"

#include "core/program_options.h"

namespace wrigglet::wayland {

posix::ProgramCommandLine WaylandCommandLine(WaylandOptions& o) {
    OptionTable table = SceneOptionRows(o.Scene);
    table.push_back(TextOption("picture", "FILE", o.Picture,
                               "a PNG of any size to crawl over, scaled to cover each output (default:\n"
                               "what the outputs show at start, where the compositor lets them be copied)"));
    table.push_back(NumberOption("idle", "SECONDS", o.Idle, {1, 86400},
                                 "keep running: the scenes after SECONDS without input, until input"));
    // Spelled as the X11 hack spells its options, so one command line suits both programs.
    return {.Syntax = {.Program = "wrigglet-wayland", .SingleDash = true, .DoubleDash = true, .Abbreviations = true},
            .Table = std::move(table),
            .About =
                "Wrigglets crawl over the desktop and leave coloured trails, on every output of a Wayland\n"
                "session, until a key, a button, a touch or a move of the pointer; start it from an idle "
                "daemon.\n",
            .Closing = "Sound is not played on Linux.\n"};
}

}  // namespace wrigglet::wayland
