// The session bus's connection and its part in the loop's wait.
#include "wayland/session_bus.h"

#include <cstdint>

namespace wrigglet::wayland {

namespace {

// No call on the bus may hold the saver longer than this; the desktop's services answer
// within milliseconds, and one that does not is treated as missing.
constexpr uint64_t CallTimeoutMicroseconds = 1000000;

}  // namespace

bool SessionBus::Open() {
    Close();
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return false;
    sd_bus_set_method_call_timeout(bus, CallTimeoutMicroseconds);
    Bus = bus;
    return true;
}

void SessionBus::Close() {
    if (Bus) sd_bus_flush_close_unref(Bus);
    Bus = nullptr;
}

pollfd SessionBus::WaitEntry() const {
    if (!Bus) return {-1, 0, 0};
    const int events = sd_bus_get_events(Bus);
    return {sd_bus_get_fd(Bus), static_cast<short>(events > 0 ? events : POLLIN), 0};
}

std::optional<std::chrono::steady_clock::time_point> SessionBus::Deadline() const {
    uint64_t usec = UINT64_MAX;
    if (!Bus || sd_bus_get_timeout(Bus, &usec) < 0 || usec == UINT64_MAX) return std::nullopt;
    // sd-bus counts on CLOCK_MONOTONIC, as steady_clock does.
    return std::chrono::steady_clock::time_point(std::chrono::microseconds(usec));
}

bool SessionBus::Process() {
    if (!Bus) return false;
    int result = 0;
    while ((result = sd_bus_process(Bus, nullptr)) > 0) {}
    if (result < 0 || sd_bus_is_open(Bus) <= 0) {
        Close();
        return false;
    }
    return true;
}

}  // namespace wrigglet::wayland
