// The monitors the root window spans, from RandR 1.5 (or Xinerama on older servers), so
// that -root draws one scene per monitor as the Windows saver does.
#pragma once

#include <X11/Xlib.h>

#include <cstddef>
#include <vector>

#include "core/monitor_layout.h"

namespace wrigglet::x11 {

// In root-window coordinates; empty when the server can't tell.
MonitorList QueryRootMonitors(Display* display, Window root);

}  // namespace wrigglet::x11
