// GNOME Shell's Activities overview, which would swallow the saver's window: shown as a
// thumbnail, never activated, its keys going to the Shell's search.
//
// How the loop drives it: LeaveOverview(bus) right before the saver's surfaces are made, each
// time the scenes are to show. It returns at once where no GNOME Shell is on the bus (or no
// bus), and within OverviewBound otherwise.
#pragma once

#include <chrono>

#include "wayland/session_bus.h"

namespace wrigglet::wayland {

// How long the Shell may take to leave the overview: its closing animation (a quarter of a
// second) with room to spare.
inline constexpr std::chrono::milliseconds OverviewBound{1000};

// Takes the Shell out of the overview (org.gnome.Shell's OverviewActive set to false) and
// waits until it says it has left; true when it has, or was not in it; false where there is
// no GNOME Shell or it did not leave in time.
bool LeaveOverview(SessionBus& bus);

}  // namespace wrigglet::wayland
