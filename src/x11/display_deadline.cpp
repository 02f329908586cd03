// The deadline is an alarm: Xlib waits for the server's reply in a poll that it restarts
// when interrupted, so only a handler that ends the process gets the hack out.
#include "x11/display_deadline.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace wrigglet::x11 {

namespace {

char DeadlineLine[512];
size_t DeadlineLength = 0;

void SayAndEnd(int) {
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, DeadlineLine, DeadlineLength);
    _exit(1);
}

}  // namespace

void ArmDisplayDeadline(const std::string& line) {
    DeadlineLength = std::min(line.size(), sizeof DeadlineLine - 1);
    std::copy_n(line.data(), DeadlineLength, DeadlineLine);
    DeadlineLine[DeadlineLength++] = '\n';
    struct sigaction action {};
    action.sa_handler = SayAndEnd;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    alarm(DisplayAnswerSeconds);
}

void DisarmDisplayDeadline() {
    alarm(0);
    std::signal(SIGALRM, SIG_DFL);
}

}  // namespace wrigglet::x11
