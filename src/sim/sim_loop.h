// The simulator's loop: the scene session opened, its ticks run one after another, and the
// requested outputs written.
#pragma once

#include <ostream>

#include "sim/sim_options.h"

namespace wrigglet::sim {

// Returns the process exit code: 0, or 1 when a file can't be read or written (the
// reason goes to `errors`). Statistics go to `out`.
int RunSimLoop(const SimOptions& options, std::ostream& out, std::ostream& errors);

}  // namespace wrigglet::sim
