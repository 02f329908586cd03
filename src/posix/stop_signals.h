// SIGTERM and SIGINT, how a daemon or a user ends a Linux program: blocked except while the
// program waits, so they arrive between two display requests, never inside one; found
// pending by a long set-up; caught by the one handler. Whether the program then ends by the
// signal or with status 0 is its own choice.
#pragma once

#include <signal.h>

namespace wrigglet::posix {

// SIGTERM and SIGINT.
sigset_t StopSignalSet();

// Installs the handler and blocks the stop signals from now on, so that they can only arrive
// while the program waits; answers the signal mask to wait with, in which they are open.
sigset_t CatchStopSignals();

// The stop signal that came (caught while waiting, or taken from the pending ones now), or 0.
int StopSignal();

// Whether a stop signal came: the programs' StopRequest.
bool StopSignalled();

// Ends the process by the stop signal that came, with its default action, as a daemon that
// sent it expects; returns only when none came.
void EndByStopSignal();

}  // namespace wrigglet::posix
