// The deadline is a thread of its own: Xlib waits for the server's reply in a poll that it
// restarts when interrupted, so only ending the whole process gets the hack out. The thread
// starts with the stop signals blocked, as they are in the hack, so they still wait for its loop.
#include "x11/display_deadline.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "posix/program_entry.h"

namespace wrigglet::x11 {

namespace {

void Watch(const std::stop_token& disarmed, const std::string& line) {
    std::mutex lock;
    std::condition_variable_any woken;
    std::unique_lock held(lock);
    woken.wait_for(held, disarmed, std::chrono::seconds(DisplayAnswerSeconds), [] { return false; });
    if (disarmed.stop_requested()) return;
    const std::string said = line + "\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, said.data(), said.size());
    _exit(posix::ExitFailure);
}

}  // namespace

DisplayDeadline::DisplayDeadline(std::string line)
    : watch_([line = std::move(line)](std::stop_token disarmed) { Watch(disarmed, line); }) {}

void DisplayDeadline::Disarm() {
    watch_.request_stop();
    if (watch_.joinable()) watch_.join();
}

}  // namespace wrigglet::x11
