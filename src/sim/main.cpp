// wrigglet-sim: renders the scene headless, for pictures, benchmarks and golden tests.
#include <iostream>

#include "sim/sim_options.h"
#include "sim/sim_run.h"

int main(int argc, char** argv) {
    using namespace wrigglet::sim;
    const ParsedOptions parsed = ParseSimArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::cerr << "wrigglet-sim: " << parsed.Error << "\n" << SimUsage();
        return 2;
    }
    if (parsed.Options.Help) {
        std::cout << SimUsage();
        return 0;
    }
    return RunSimulation(parsed.Options, std::cout, std::cerr);
}
