// GNOME's idleness over the session bus: the compositor's idle monitor
// (org.gnome.Mutter.IdleMonitor) says when the user has been without input for the time
// asked, and the session manager (org.gnome.SessionManager) whether idleness is inhibited.
// The idle watch (idle_watch.h) starts it where neither idle protocol is offered.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>

#include "wayland/idle_state.h"

namespace wrigglet::wayland {

// Lives where it was started until stopped: the bus's callbacks point at it.
struct GnomeIdle {
    sd_bus* Bus = nullptr;
    IdleReport* Report = nullptr;
    GnomeIdleStage Stage = GnomeIdleStage::Waiting;
    uint32_t IdleWatchId = 0;         // the monitor's, fires after each time without input
    uint32_t ActiveWatchId = 0;       // the monitor's, fires once on the next input
    sd_bus_slot* Fired = nullptr;     // the monitor's WatchFired
    sd_bus_slot* Removed = nullptr;   // the session manager's InhibitorRemoved
    sd_bus_slot* Asking = nullptr;    // IsInhibited, while it is asked
    sd_bus_slot* Activity = nullptr;  // AddUserActiveWatch, while it is added
};

// Watches for `timeoutMs` without input; false (and nothing left behind) when the bus has no
// idle monitor. Changes go to `report`.
bool StartGnomeIdle(GnomeIdle& gnome, sd_bus* bus, uint32_t timeoutMs, IdleReport& report);

// Removes the monitor's watches; nothing when it was not started.
void StopGnomeIdle(GnomeIdle& gnome);

}  // namespace wrigglet::wayland
