// Where the hack draws, by XScreenSaver's rules for hacks: the window named by -window-id
// or by $XSCREENSAVER_WINDOW, the root window with -root, else a window of its own.
#pragma once

#include <optional>
#include <string>

#include "x11/x11_options.h"
#include "x11/x11_scene_host.h"

namespace wrigglet::x11 {

struct HackWindow {
    X11Window Target;
    bool IsRoot = false;  // the real root window: the desktop is its own contents
    bool Own = false;     // made by the hack, destroyed by it at the end
    Atom DeleteWindow = None;
};

// The window to draw into, its events selected; a window of its own is placed by -geometry,
// shown, and its first exposure awaited, so the scene starts on a visible window. Empty,
// with the one-line reason in `error`, when there is no window the hack can draw in.
std::optional<HackWindow> OpenHackWindow(Display* display, const X11Options& options, const char* saverWindow,
                                         std::string& error);

void CloseHackWindow(Display* display, const HackWindow& window);

}  // namespace wrigglet::x11
