// Tells the loop when the user has been idle for a set time and when the user is back, with
// what the session offers, in this order: ext_idle_notifier_v1, KDE's org_kde_kwin_idle
// (KDE Plasma, sway), GNOME's idle monitor over the session bus. The two protocols honour idle
// inhibitors by themselves; on GNOME the session manager is asked (gnome_idle.h).
//
// How the loop drives it (the watch stays where it is from arming to release):
//   - in the registry's global listener, first: OfferIdleGlobal(watch, registry, name,
//     interface, version) binds the idle protocols' globals and answers true for them;
//   - once the globals have come (after the first roundtrip) and the bus is open:
//     ArmIdleWatch(watch, seat, bus, seconds * 1000), seat: the first wl_seat (may be null);
//     IdleSource::None means nothing here tells idleness: say so and end;
//   - after every dispatch of Wayland events and bus.Process(): TakeIdleChange(watch):
//     Idle: show the scenes (unless they show already); Back: the user is back (the scenes
//     still end by the saver's own input rules, so Back needs nothing);
//   - when the bus is lost (bus.Process() false) and the source is GnomeMonitor, no idleness
//     will come any more: say so and end;
//   - at the end, before the registry and the bus go: ReleaseIdleWatch(watch).
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string_view>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "wayland/gnome_idle.h"
#include "wayland/idle_state.h"
#include "wayland/session_bus.h"

namespace wrigglet::wayland {

enum class IdleSource { None, IdleNotify, KdeIdle, GnomeMonitor };

struct IdleWatch {
    // The globals, bound as offered.
    ext_idle_notifier_v1* Notifier = nullptr;
    org_kde_kwin_idle* KdeIdle = nullptr;
    // The armed watch: one of these, by Source.
    IdleSource Source = IdleSource::None;
    ext_idle_notification_v1* Notification = nullptr;
    org_kde_kwin_idle_timeout* KdeTimeout = nullptr;
    GnomeIdle Gnome;
    IdleReport Report;
};

// Binds `interface` when it is an idle protocol's global; false for any other.
bool OfferIdleGlobal(IdleWatch& watch, wl_registry* registry, uint32_t name, std::string_view interface,
                     uint32_t version);

// Starts watching for `timeoutMs` without input, with the first source the session offers
// (the protocols need a seat; GNOME's monitor a bus). Answers the source.
IdleSource ArmIdleWatch(IdleWatch& watch, wl_seat* seat, SessionBus& bus, uint32_t timeoutMs);

// Idle or Back once per change since the last call; None when nothing changed.
IdleChange TakeIdleChange(IdleWatch& watch);

// The source's name, for a message.
const char* IdleSourceName(IdleSource source);

void ReleaseIdleWatch(IdleWatch& watch);

}  // namespace wrigglet::wayland
