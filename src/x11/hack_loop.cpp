// The event loop. Stop signals are blocked except while waiting in ppoll, so a SIGTERM is
// seen between two X requests, never inside one, or found pending by a long set-up, and the
// scene is closed before the exit.
#include "x11/hack_loop.h"

#include <X11/extensions/Xrandr.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/tick_clock.h"
#include "text/font_rasteriser.h"
#include "x11/fps_readout.h"
#include "x11/start_picture.h"
#include "x11/stop_signals.h"
#include "x11/x11_monitors.h"

namespace wrigglet::x11 {

namespace {

using Clock = std::chrono::steady_clock;

struct HackState {
    HackState(const HackOptions& options, const HackWindow& window, X11SceneHost& host)
        : Options(options), Window(window), Host(host) {}
    const HackOptions& Options;
    const HackWindow& Window;
    X11SceneHost& Host;
    text::FontRasteriser Text;
    SceneSession Session;
    FpsReadout Fps;
    TickClock Ticks;
    SceneSize NewSize;     // the window's size from its latest ConfigureNotify
    int RandrEvents = -1;  // RandR's first event code; -1: not listening
    bool MonitorsMayHaveChanged = false;
    bool Ending = false;
};

bool StopSignalled() { return StopSignal() != 0; }

// The readout sits in the primary monitor's scene, in the window's coordinates.
void ShowFps(HackState& state) {
    if (state.Options.Fps) DrawFpsReadout(state.Fps, state.Session.PrimaryRect());
}

// -root follows the monitors: RandR tells of every change of a monitor, not only of the
// root's size.
void ListenToMonitors(HackState& state) {
    Display* display = state.Window.Target.Connection;
    int events = 0, errors = 0;
    if (!state.Window.IsRoot || !XRRQueryExtension(display, &events, &errors)) return;
    state.RandrEvents = events;
    XRRSelectInput(display, state.Window.Target.Id,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

// -delay's microseconds, in the session's whole milliseconds.
std::optional<uint32_t> DelayInterval(const HackOptions& options) {
    if (!options.Delay) return std::nullopt;
    return static_cast<uint32_t>((*options.Delay + 500) / 1000);
}

void OpenHackScene(HackState& state) {
    if (state.Window.IsRoot)
        state.Host.SetMonitors(QueryRootMonitors(state.Window.Target.Connection, state.Window.Target.Id));
    // The set-up waits for the first tick, so the first paint, as a new window gets on
    // Windows, shows the snapshot at once (XScreenSaver's window is black until then).
    SceneOptions options = state.Options.Scene;
    options.SetUpAtFirstTick = true;
    options.ShowAtOpening = true;
    options.Interval = DelayInterval(state.Options);
    options.StopRequested = StopSignalled;
    StartTickClock(state.Ticks, OpenScene(state.Session, SceneParts(state.Host, nullptr, &state.Text), options),
                   Clock::now());
    ShowFps(state);
}

void Tick(HackState& state, std::ostream& out) {
    const uint32_t next = TickScene(state.Session);
    ScheduleNextTick(state.Ticks, next, Clock::now());
    if (state.Options.Fps) {
        CountFrame(state.Fps, Clock::now());
        ShowFps(state);
    }
    // No next tick: the tick limit is reached, and this frame stays.
    if (next == 0) {
        XSync(state.Window.Target.Connection, False);
        out << "wrigglet: tick " << state.Session.Ticks() << " (every " << state.Session.Interval()
            << " ms) shown with " << (state.Host.UsesSharedMemory() ? "MIT-SHM" : "XPutImage") << std::endl;
    }
}

void HandleEvent(HackState& state, XEvent& event) {
    if (state.RandrEvents >= 0 &&
        (event.type == state.RandrEvents + RRScreenChangeNotify || event.type == state.RandrEvents + RRNotify)) {
        XRRUpdateConfiguration(&event);
        state.MonitorsMayHaveChanged = true;
        return;
    }
    switch (event.type) {
        case Expose:
            RepaintScene(state.Session, {event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                         event.xexpose.y + event.xexpose.height});
            ShowFps(state);
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == state.Window.Target.Id)
                state.NewSize = {event.xconfigure.width, event.xconfigure.height};
            break;
        case DestroyNotify:
            state.Ending = state.Ending || event.xdestroywindow.window == state.Window.Target.Id;
            break;
        case ClientMessage:
            state.Ending = state.Ending || (state.Window.Own &&
                                            static_cast<Atom>(event.xclient.data.l[0]) == state.Window.DeleteWindow);
            break;
        default:
            break;
    }
}

bool SameMonitors(const MonitorList& a, const MonitorList& b) { return a.Rects == b.Rects && a.Primary == b.Primary; }

// A new size or a new set of monitors lays the scenes out again, once for a whole run of
// changes.
void FollowLayout(HackState& state) {
    const SceneSize now = state.Host.ClientSize();
    const bool resized = state.NewSize.Width != now.Width || state.NewSize.Height != now.Height;
    if (!resized && !state.MonitorsMayHaveChanged) return;
    state.MonitorsMayHaveChanged = false;
    const MonitorList before = state.Host.Monitors();
    state.Host.Resize(state.NewSize.Width, state.NewSize.Height);
    if (state.Window.IsRoot)
        state.Host.SetMonitors(QueryRootMonitors(state.Window.Target.Connection, state.Window.Target.Id));
    if (!resized && SameMonitors(before, state.Host.Monitors())) return;
    StartTickClock(state.Ticks, RelayoutScene(state.Session), Clock::now());
    ShowFps(state);
}

// Waits for X events, the next tick or a stop signal, whichever comes first.
void Wait(const HackState& state, const sigset_t& waitMask) {
    Display* display = state.Window.Target.Connection;
    if (XPending(display) > 0) return;
    timespec timeout{};
    timespec* limit = nullptr;
    if (const auto left = TimeToTick(state.Ticks, Clock::now())) {
        const auto nanoseconds = left->count();
        timeout.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
        timeout.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
        limit = &timeout;
    }
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    ppoll(&connection, 1, limit, &waitMask);
}

}  // namespace

int RunHack(const HackOptions& options, const HackWindow& window, const sigset_t& waitMask, std::ostream& out) {
    Display* display = window.Target.Connection;
    const DesktopImage start = TakeStartPicture(window, options.Scene.Settings.Desktop, StopSignalled);
    X11SceneHost host(window.Target, start, true, StopSignalled);
    HackState state(options, window, host);
    state.NewSize = host.ClientSize();
    if (options.Fps) OpenFpsReadout(state.Fps, display, window.Target.Id);
    ListenToMonitors(state);
    OpenHackScene(state);
    while (!StopSignalled() && !state.Ending) {
        Wait(state, waitMask);
        while (XPending(display) > 0 && !state.Ending) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(state, event);
        }
        FollowLayout(state);
        if (!state.Ending && !StopSignalled() && TickDue(state.Ticks, Clock::now())) Tick(state, out);
    }
    CloseScene(state.Session);
    CloseFpsReadout(state.Fps);
    return 0;
}

}  // namespace wrigglet::x11
