// A front end's way to cut a long set-up short: the set-up asks between its phases and row
// by row in its long loops, so a program told to end never waits for a huge scene's set-up.
#pragma once

#include <functional>

namespace wrigglet {

// Answers true once the program wants to end; empty: never.
using StopRequest = std::function<bool()>;

inline bool StopDue(const StopRequest& stop) { return stop && stop(); }

}  // namespace wrigglet
