// GNOME's idle monitor and session manager driven by the idle stages of idle_state.h.
#include "wayland/gnome_idle.h"

#include <initializer_list>

namespace wrigglet::wayland {

namespace {

constexpr const char* Monitor = "org.gnome.Mutter.IdleMonitor";
constexpr const char* MonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* SessionManager = "org.gnome.SessionManager";
constexpr const char* SessionManagerPath = "/org/gnome/SessionManager";
constexpr uint32_t InhibitIdle = 8;  // IsInhibited's flag for idleness

GnomeIdle& Of(void* data) { return *static_cast<GnomeIdle*>(data); }

void Apply(GnomeIdle& gnome, GnomeIdleEvent event);

// A missing session manager inhibits nothing.
int OnInhibitedAnswer(sd_bus_message* reply, void* data, sd_bus_error*) {
    GnomeIdle& gnome = Of(data);
    gnome.Asking = sd_bus_slot_unref(gnome.Asking);
    int inhibited = 0;
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "b", &inhibited) < 0)
        inhibited = 0;
    Apply(gnome, inhibited ? GnomeIdleEvent::Inhibited : GnomeIdleEvent::NotInhibited);
    return 0;
}

int OnActiveWatchAdded(sd_bus_message* reply, void* data, sd_bus_error*) {
    GnomeIdle& gnome = Of(data);
    gnome.Activity = sd_bus_slot_unref(gnome.Activity);
    uint32_t id = 0;
    if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "u", &id) >= 0)
        gnome.ActiveWatchId = id;
    return 0;
}

void Apply(GnomeIdle& gnome, GnomeIdleEvent event) {
    const GnomeIdleStep step = NextGnomeIdleStep(gnome.Stage, event);
    gnome.Stage = step.Stage;
    if (step.AskInhibited) {
        sd_bus_slot_unref(gnome.Asking);
        gnome.Asking = nullptr;
        if (sd_bus_call_method_async(gnome.Bus, &gnome.Asking, SessionManager, SessionManagerPath, SessionManager,
                                     "IsInhibited", OnInhibitedAnswer, &gnome, "u", InhibitIdle) < 0)
            gnome.Stage = NextGnomeIdleStep(gnome.Stage, GnomeIdleEvent::NotInhibited).Stage;
    }
    if (step.WatchActivity && !gnome.Activity && !gnome.ActiveWatchId)
        sd_bus_call_method_async(gnome.Bus, &gnome.Activity, Monitor, MonitorPath, Monitor, "AddUserActiveWatch",
                                 OnActiveWatchAdded, &gnome, "");
    SetUserIdle(*gnome.Report, gnome.Stage == GnomeIdleStage::Idle);
}

int OnWatchFired(sd_bus_message* signal, void* data, sd_bus_error*) {
    GnomeIdle& gnome = Of(data);
    uint32_t id = 0;
    if (sd_bus_message_read(signal, "u", &id) < 0 || id == 0) return 0;
    if (id == gnome.IdleWatchId) Apply(gnome, GnomeIdleEvent::IdleFired);
    if (id == gnome.ActiveWatchId) {
        gnome.ActiveWatchId = 0;  // the monitor forgets a user-active watch once it fired
        Apply(gnome, GnomeIdleEvent::ActiveFired);
    }
    return 0;
}

int OnInhibitorRemoved(sd_bus_message*, void* data, sd_bus_error*) {
    Apply(Of(data), GnomeIdleEvent::InhibitorRemoved);
    return 0;
}

void RemoveWatch(sd_bus* bus, uint32_t id) {
    if (id)
        sd_bus_call_method_async(bus, nullptr, Monitor, MonitorPath, Monitor, "RemoveWatch", nullptr, nullptr, "u", id);
}

}  // namespace

bool StartGnomeIdle(GnomeIdle& gnome, sd_bus* bus, uint32_t timeoutMs, IdleReport& report) {
    StopGnomeIdle(gnome);
    gnome.Bus = bus;
    gnome.Report = &report;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const bool started = sd_bus_match_signal(bus, &gnome.Fired, Monitor, MonitorPath, Monitor, "WatchFired",
                                             OnWatchFired, &gnome) >= 0 &&
                         sd_bus_match_signal(bus, &gnome.Removed, SessionManager, SessionManagerPath, SessionManager,
                                             "InhibitorRemoved", OnInhibitorRemoved, &gnome) >= 0 &&
                         sd_bus_call_method(bus, Monitor, MonitorPath, Monitor, "AddIdleWatch", &error, &reply, "t",
                                            uint64_t{timeoutMs}) >= 0 &&
                         sd_bus_message_read(reply, "u", &gnome.IdleWatchId) >= 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (!started) StopGnomeIdle(gnome);
    return started;
}

void StopGnomeIdle(GnomeIdle& gnome) {
    if (gnome.Bus) {
        RemoveWatch(gnome.Bus, gnome.IdleWatchId);
        RemoveWatch(gnome.Bus, gnome.ActiveWatchId);
    }
    for (sd_bus_slot* slot : {gnome.Fired, gnome.Removed, gnome.Asking, gnome.Activity}) sd_bus_slot_unref(slot);
    gnome = {};
}

}  // namespace wrigglet::wayland
