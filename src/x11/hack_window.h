// Where the hack draws, by XScreenSaver's rules for hacks: the window named by -window-id
// or by $XSCREENSAVER_WINDOW, the root window with -root, else a window of its own.
#pragma once

#include <optional>

#include "x11/hack_options.h"
#include "x11/x11_scene_host.h"

namespace wrigglet::x11 {

struct HackWindow {
    X11Window Target;
    bool IsRoot = false;  // the real root window: the desktop is its own contents
    bool Own = false;     // made by the hack, destroyed by it at the end
    Atom DeleteWindow = None;
};

// The window to draw into, its events selected; a window of its own is shown and its
// first exposure awaited, so the scene starts on a visible window. Empty when the named
// window does not exist.
std::optional<HackWindow> OpenHackWindow(Display* display, const HackOptions& options, const char* saverWindow);

void CloseHackWindow(Display* display, const HackWindow& window);

}  // namespace wrigglet::x11
