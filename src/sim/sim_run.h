// One simulator run: scene creation, the ticks, and the requested outputs.
#pragma once

#include <ostream>

#include "sim/sim_options.h"

namespace wrigglet::sim {

// Returns the process exit code: 0, or 1 when a file can't be read or written (the
// reason goes to `errors`). Statistics go to `out`.
int RunSimulation(const SimOptions& options, std::ostream& out, std::ostream& errors);

}  // namespace wrigglet::sim
