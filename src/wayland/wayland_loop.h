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

// Blocks SIGTERM and SIGINT from now on, so that they can only arrive while the loop waits,
// and answers the signal mask to wait with, in which they are open.
sigset_t CatchStopSignals();

// Runs until the saver is told to end; answers the exit status: 0, or 1 (after a line to
// `errors`) when the compositor lacks what it needs or the connection is lost. With -ticks,
// a line goes to `out` each time an output shows the last tick.
int RunWayland(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop, const sigset_t& waitMask,
               std::ostream& out, std::ostream& errors);

}  // namespace wrigglet::wayland
