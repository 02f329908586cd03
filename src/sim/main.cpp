// wrigglet-sim: renders the scene headless, for pictures, benchmarks and golden tests.
#include <iostream>

#include "posix/program_entry.h"
#include "sim/sim_loop.h"
#include "sim/sim_options.h"

int main(int argc, char** argv) {
    using namespace wrigglet::sim;
    SimOptions options;
    if (const auto status = wrigglet::posix::EnterProgram(SimCommandLine(options), argc, argv)) return *status;
    return RunSimLoop(options, std::cout, std::cerr);
}
