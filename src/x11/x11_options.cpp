// The hack's options as a table for the shared parser.
#include "x11/x11_options.h"

#include <limits>

namespace wrigglet::x11 {

namespace {

// "-name" as XScreenSaver writes it, "--name" as Debian's XScreenSaver and shell users do, and
// unique abbreviations, as every XScreenSaver hack takes them.
const OptionSyntax HackSyntax{.Program = "wrigglet", .SingleDash = true, .DoubleDash = true, .Abbreviations = true};

OptionTable X11OptionTable(X11Options& o) {
    OptionTable table{
        InGroup(1, NumberOption("window-id", "ID", o.WindowId,
                                {.Lowest = 1, .Highest = std::numeric_limits<uint32_t>::max(), .Hex = true},
                                "draw into this window (decimal or 0x hex); XScreenSaver's\n"
                                "XSCREENSAVER_WINDOW does the same")),
        InGroup(1, FlagOption("root", o.Root,
                              "draw on the root window, one scene per monitor; -window: in a window\n"
                              "of its own (the default)",
                              "window")),
        GeometryOption("geometry", o.Width, o.Height, o.Position, MaxHackSide, MaxHackOffset,
                       "a window of its own: its size (default 1024x768) and its place; -X or -Y\n"
                       "counts from the right or bottom edge"),
    };
    for (ProgramOption& option : SceneOptionRows(o.Scene)) table.push_back(std::move(option));
    const OptionTable rest{
        NumberOption("delay", "USECS", o.Delay, {.Lowest = 0, .Highest = MaxHackDelay},
                     "microseconds between ticks (default 40000; 80000 at speed 1)"),
        FlagOption("fps", o.Fps, "show the frame rate in a corner (default off)", "no-fps"),
        TextOption("display", "NAME", o.Display, "the X display to draw on (default $DISPLAY)"),
        IgnoredFlag("mono"),
        IgnoredFlag("install", "noinstall"),
        IgnoredValue("visual", "V"),
        IgnoredFlag("pair"),
        IgnoredFlag("sync"),
    };
    table.insert(table.end(), rest.begin(), rest.end());
    return table;
}

}  // namespace

posix::ProgramCommandLine X11CommandLine(X11Options& options) {
    return {.Syntax = HackSyntax,
            .Table = X11OptionTable(options),
            .About = "Wrigglets crawl over the desktop and leave coloured trails; an XScreenSaver hack.\n",
            .Closing = "Sound is not played on Linux.\n"};
}

WindowPlacement PlaceOwnWindow(const X11Options& options, int32_t screenWidth, int32_t screenHeight) {
    if (!options.Position) return {};
    const GeometryPosition& p = *options.Position;
    return {.X = p.XNegative ? screenWidth - options.Width + p.X : p.X,
            .Y = p.YNegative ? screenHeight - options.Height + p.Y : p.Y,
            .Given = true,
            .FromRight = p.XNegative,
            .FromBottom = p.YNegative};
}

}  // namespace wrigglet::x11
