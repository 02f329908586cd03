// The hack's life on its window: the scene opened over the desktop, ticks at the Speed's
// interval, repaints, rebuilds on a new size, and a clean end on SIGTERM, SIGINT, the
// window's destruction or its window manager's close button.
#pragma once

#include <ostream>

#include "x11/hack_options.h"
#include "x11/hack_window.h"

namespace wrigglet::x11 {

// Runs until the hack is told to end; answers the exit status (0). With -ticks, a line
// goes to `out` each time the last tick is on the screen, saying how it got there.
int RunHack(const HackOptions& options, const HackWindow& window, std::ostream& out);

}  // namespace wrigglet::x11
