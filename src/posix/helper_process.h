// Running a helper program and reading what it prints, without letting it hold up a program
// that is told to end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/stop_request.h"

namespace wrigglet::posix {

// The program's full path: from $PATH, else from `moreFolders` in their order; empty when none.
std::string FindHelper(const std::string& name, const std::vector<std::string>& moreFolders = {});

// Runs the program (arguments[0] is its path) with the stop signals open and their default
// actions, and answers its standard output when it exits with status 0. A stop request
// kills it and answers nothing.
std::optional<std::string> RunHelper(const std::vector<std::string>& arguments, const StopRequest& stop);

}  // namespace wrigglet::posix
