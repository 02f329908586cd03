// SIGTERM and SIGINT, how XScreenSaver and a user end the hack: caught only while the loop
// waits, looked for during a long set-up, and in the end let to end the process themselves,
// so the daemon sees the hack end by its signal.
#pragma once

#include <signal.h>

namespace wrigglet::x11 {

// Blocks SIGTERM and SIGINT from now on, so that they can only arrive while the loop waits,
// and answers the signal mask to wait with, in which they are open.
sigset_t CatchStopSignals();

// The stop signal that came (caught while waiting, or taken from the pending ones now), or 0.
int StopSignal();

// Ends the process by the stop signal that came, with its default action; returns only when
// none came.
void EndByStopSignal();

}  // namespace wrigglet::x11
