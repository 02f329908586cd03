// The program's loop on a Wayland display: the globals, an output loop for every output (and
// for each one that comes later), the seats' input, and a clean end on input, on SIGTERM or
// SIGINT, or when the compositor closes a surface.
#pragma once

#include <signal.h>
#include <wayland-client.h>

#include <ostream>

#include "wayland/desktop_pictures.h"
#include "wayland/wayland_options.h"

namespace wrigglet::wayland {

// Runs until the saver is told to end (a stop signal among them: the signals caught, the
// loop waits with `waitMask`); answers the exit status: 0, or 1 (after a line to `errors`)
// when the compositor lacks what it needs or the connection is lost. With -ticks, a line
// goes to `out` each time an output shows the last tick.
int RunWaylandLoop(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop,
                   const sigset_t& waitMask, std::ostream& out, std::ostream& errors);

}  // namespace wrigglet::wayland
