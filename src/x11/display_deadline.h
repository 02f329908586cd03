// A display that accepts the connection and then never answers would leave the hack waiting
// for ever, drawing nothing: its first requests get a deadline, after which it says so and ends.
#pragma once

#include <string>

namespace wrigglet::x11 {

// Time the display has to answer the connection and the window's set-up.
inline constexpr unsigned DisplayAnswerSeconds = 5;

// From now until DisarmDisplayDeadline, a display that keeps the hack waiting longer than
// DisplayAnswerSeconds ends it with status 1 and this line (a newline is added) on stderr.
void ArmDisplayDeadline(const std::string& line);
void DisarmDisplayDeadline();

}  // namespace wrigglet::x11
