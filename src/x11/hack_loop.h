// The hack's life on its window: the scene opened over the desktop, ticks at the Speed's
// interval, repaints, rebuilds on a new size, and a clean end on SIGTERM, SIGINT, the
// window's destruction or its window manager's close button.
#pragma once

#include <signal.h>

#include <ostream>

#include "x11/hack_options.h"
#include "x11/hack_window.h"

namespace wrigglet::x11 {

// Blocks SIGTERM and SIGINT from now on, so that they can only arrive while the loop waits,
// and answers the signal mask to wait with, in which they are open.
sigset_t CatchStopSignals();

// Runs until the hack is told to end; answers the exit status (0). With -ticks, a line
// goes to `out` each time the last tick is on the screen, saying how it got there.
int RunHack(const HackOptions& options, const HackWindow& window, const sigset_t& waitMask, std::ostream& out);

}  // namespace wrigglet::x11
