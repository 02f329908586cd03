// Leaving GNOME Shell's overview over the session bus.
#include "wayland/gnome_shell.h"

#include <thread>

namespace wrigglet::wayland {

namespace {

constexpr const char* Shell = "org.gnome.Shell";
constexpr const char* ShellPath = "/org/gnome/Shell";

// The Shell's OverviewActive; none when it cannot be read (no Shell).
std::optional<bool> OverviewActive(sd_bus* bus) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int active = 0;
    const bool read = sd_bus_get_property(bus, Shell, ShellPath, Shell, "OverviewActive", &error, &reply, "b") >= 0 &&
                      sd_bus_message_read(reply, "b", &active) >= 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (!read) return std::nullopt;
    return active != 0;
}

}  // namespace

bool LeaveOverview(SessionBus& bus) {
    if (!bus.Connected()) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const bool set = sd_bus_set_property(bus.Get(), Shell, ShellPath, Shell, "OverviewActive", &error, "b", 0) >= 0;
    sd_bus_error_free(&error);
    if (!set) return false;
    // The property stays true while the overview closes.
    const auto deadline = std::chrono::steady_clock::now() + OverviewBound;
    for (;;) {
        const std::optional<bool> active = OverviewActive(bus.Get());
        if (!active) return false;
        if (!*active) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace wrigglet::wayland
