// The one place a Linux program sleeps: until a descriptor is ready, a deadline passes or a
// stop signal comes, whichever is first.
#pragma once

#include <poll.h>
#include <signal.h>

#include <optional>
#include <span>

#include "core/tick_clock.h"

namespace wrigglet::posix {

// Waits until one of `descriptors` has one of its events (each one's revents then says which),
// until `deadline` (none: for events only; one that has passed: a look without waiting), or
// until a signal open in `waitMask` is caught (null: the mask stays as it is). Answers how
// many descriptors are ready: 0 at the deadline, -1 when a signal came first (errno EINTR)
// or the wait failed.
int WaitForDescriptors(std::span<pollfd> descriptors, std::optional<TickTime> deadline, const sigset_t* waitMask);

}  // namespace wrigglet::posix
