// The stop signals. While they are blocked a signal stays pending, so a long set-up finds it
// with a zero-timeout sigtimedwait without ever running a handler between two requests.
#include "posix/stop_signals.h"

#include <csignal>
#include <ctime>

namespace wrigglet::posix {

namespace {

volatile std::sig_atomic_t CaughtSignal = 0;

void RememberSignal(int signal) { CaughtSignal = signal; }

}  // namespace

sigset_t StopSignalSet() {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    return stops;
}

sigset_t CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = RememberSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const sigset_t stops = StopSignalSet();
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stops, &previous);
    sigdelset(&previous, SIGTERM);
    sigdelset(&previous, SIGINT);
    return previous;
}

int StopSignal() {
    if (CaughtSignal == 0) {
        const sigset_t stops = StopSignalSet();
        const timespec now{};
        if (const int pending = sigtimedwait(&stops, nullptr, &now); pending > 0) CaughtSignal = pending;
    }
    return CaughtSignal;
}

bool StopSignalled() { return StopSignal() != 0; }

void EndByStopSignal() {
    const int signal = StopSignal();
    if (signal == 0) return;
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    raise(signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
}

}  // namespace wrigglet::posix
