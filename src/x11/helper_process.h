// Running one of XScreenSaver's helper programs and reading what it prints, without letting
// it hold up a hack that is told to end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/stop_request.h"

namespace wrigglet::x11 {

// The helper's full path: from $PATH (XScreenSaver puts its own folder there for its hacks),
// else from the folders Debian and others install XScreenSaver's helpers in; empty when none.
std::string FindHelper(const std::string& name);

// Runs the program (arguments[0] is its path) with the stop signals open and the default
// actions, and answers its standard output when it exits with status 0. A stop request
// kills it and answers nothing.
std::optional<std::string> RunHelper(const std::vector<std::string>& arguments, const StopRequest& stop);

}  // namespace wrigglet::x11
