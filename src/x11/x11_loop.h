// The hack's life on its window: the scene opened over its starting picture, ticks at the
// Speed's interval (or -delay's), repaints, rebuilds on a new size or monitor layout, the
// -fps readout, and a clean end on a stop signal, the window's destruction or its window
// manager's close button.
#pragma once

#include <signal.h>

#include <ostream>

#include "x11/x11_options.h"
#include "x11/hack_window.h"

namespace wrigglet::x11 {

// Runs until the hack is told to end; answers the exit status (0). The stop signals must be
// caught (posix::CatchStopSignals) and `waitMask` is the mask to wait with. With -ticks, a
// line goes to `out` each time the last tick is on the screen, saying how it got there.
int RunX11Loop(const X11Options& options, const HackWindow& window, const sigset_t& waitMask, std::ostream& out);

}  // namespace wrigglet::x11
