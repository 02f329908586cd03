// A display that accepts the connection and then never answers would leave the hack waiting
// for ever, drawing nothing: its first requests get a deadline, after which it says so and ends.
#pragma once

#include <string>
#include <thread>

namespace wrigglet::x11 {

// Time the display has to answer the connection and the window's set-up.
inline constexpr unsigned DisplayAnswerSeconds = 5;

// From its making until Disarm (or its end), a display that keeps the hack waiting longer
// than DisplayAnswerSeconds ends it with status 1 and `line` (a newline is added) on stderr.
class DisplayDeadline {
public:
    explicit DisplayDeadline(std::string line);
    void Disarm();

private:
    std::jthread watch_;
};

}  // namespace wrigglet::x11
