// The idle watch's sources: the two idle protocols' listeners, GNOME's monitor through
// gnome_idle.cpp, and the choice between them.
#include "wayland/idle_watch.h"

namespace wrigglet::wayland {

namespace {

IdleReport& ReportOf(void* data) { return *static_cast<IdleReport*>(data); }

void OnIdled(void* data, ext_idle_notification_v1*) { SetUserIdle(ReportOf(data), true); }
void OnResumed(void* data, ext_idle_notification_v1*) { SetUserIdle(ReportOf(data), false); }
const ext_idle_notification_v1_listener NotificationListener{OnIdled, OnResumed};

void OnKdeIdle(void* data, org_kde_kwin_idle_timeout*) { SetUserIdle(ReportOf(data), true); }
void OnKdeResumed(void* data, org_kde_kwin_idle_timeout*) { SetUserIdle(ReportOf(data), false); }
const org_kde_kwin_idle_timeout_listener KdeTimeoutListener{OnKdeIdle, OnKdeResumed};

}  // namespace

bool OfferIdleGlobal(IdleWatch& watch, wl_registry* registry, uint32_t name, std::string_view interface, uint32_t) {
    if (interface == ext_idle_notifier_v1_interface.name && !watch.Notifier) {
        watch.Notifier =
            static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        return true;
    }
    if (interface == org_kde_kwin_idle_interface.name && !watch.KdeIdle) {
        watch.KdeIdle =
            static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
        return true;
    }
    return false;
}

IdleSource ArmIdleWatch(IdleWatch& watch, wl_seat* seat, SessionBus& bus, uint32_t timeoutMs) {
    watch.Report = {};
    if (watch.Notifier && seat) {
        watch.Notification = ext_idle_notifier_v1_get_idle_notification(watch.Notifier, timeoutMs, seat);
        ext_idle_notification_v1_add_listener(watch.Notification, &NotificationListener, &watch.Report);
        watch.Source = IdleSource::IdleNotify;
    } else if (watch.KdeIdle && seat) {
        watch.KdeTimeout = org_kde_kwin_idle_get_idle_timeout(watch.KdeIdle, seat, timeoutMs);
        org_kde_kwin_idle_timeout_add_listener(watch.KdeTimeout, &KdeTimeoutListener, &watch.Report);
        watch.Source = IdleSource::KdeIdle;
    } else if (bus.Connected() && StartGnomeIdle(watch.Gnome, bus.Get(), timeoutMs, watch.Report)) {
        watch.Source = IdleSource::GnomeMonitor;
    }
    return watch.Source;
}

IdleChange TakeIdleChange(IdleWatch& watch) { return TakeIdleChange(watch.Report); }

const char* IdleSourceName(IdleSource source) {
    switch (source) {
        case IdleSource::IdleNotify:
            return "ext_idle_notifier_v1";
        case IdleSource::KdeIdle:
            return "org_kde_kwin_idle";
        case IdleSource::GnomeMonitor:
            return "org.gnome.Mutter.IdleMonitor";
        case IdleSource::None:
            break;
    }
    return "none";
}

void ReleaseIdleWatch(IdleWatch& watch) {
    if (watch.Notification) ext_idle_notification_v1_destroy(watch.Notification);
    if (watch.KdeTimeout) org_kde_kwin_idle_timeout_release(watch.KdeTimeout);
    if (watch.Notifier) ext_idle_notifier_v1_destroy(watch.Notifier);
    if (watch.KdeIdle) org_kde_kwin_idle_destroy(watch.KdeIdle);
    StopGnomeIdle(watch.Gnome);
    watch = {};
}

}  // namespace wrigglet::wayland
