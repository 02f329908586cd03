// The monitors the root window spans, from RandR 1.5 (or Xinerama on older servers), so
// that -root draws one scene per monitor as the Windows saver does.
#pragma once

#include <X11/Xlib.h>

#include <cstddef>
#include <vector>

#include "core/frame.h"

namespace wrigglet::x11 {

struct RootMonitors {
    std::vector<PixelRect> Rects;  // in root-window coordinates; empty when the server can't tell
    size_t Primary = 0;
};

RootMonitors QueryRootMonitors(Display* display, Window root);

}  // namespace wrigglet::x11
