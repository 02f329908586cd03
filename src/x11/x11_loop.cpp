// The event loop. Stop signals are blocked except while it waits, so a SIGTERM is seen
// between two X requests, never inside one, or found pending by a long set-up, and the
// scenes are closed before the exit.
#include "x11/x11_loop.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/tick_clock.h"
#include "posix/descriptor_wait.h"
#include "posix/program_entry.h"
#include "posix/stop_signals.h"
#include "text/font_rasteriser.h"
#include "x11/fps_readout.h"
#include "x11/start_picture.h"
#include "x11/x11_monitors.h"

namespace wrigglet::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using posix::StopSignalled;

struct LoopState {
    LoopState(const X11Options& options, const HackWindow& window, X11SceneHost& host)
        : Options(options), Window(window), Host(host) {}
    const X11Options& Options;
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

// The readout sits in the primary monitor's scene, in the window's coordinates.
void ShowFps(LoopState& state) {
    if (state.Options.Fps) DrawFpsReadout(state.Fps, state.Session.PrimaryRect());
}

// -root follows the monitors: RandR tells of every change of a monitor, not only of the
// root's size.
void ListenToMonitors(LoopState& state) {
    Display* display = state.Window.Target.Connection;
    int events = 0, errors = 0;
    if (!state.Window.IsRoot || !XRRQueryExtension(display, &events, &errors)) return;
    state.RandrEvents = events;
    XRRSelectInput(display, state.Window.Target.Id,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

// -delay's microseconds, in the session's whole milliseconds.
std::optional<uint32_t> DelayInterval(const X11Options& options) {
    if (!options.Delay) return std::nullopt;
    return static_cast<uint32_t>((*options.Delay + 500) / 1000);
}

void OpenSession(LoopState& state) {
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

void Tick(LoopState& state, std::ostream& out) {
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

void HandleEvent(LoopState& state, XEvent& event) {
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
void FollowLayout(LoopState& state) {
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
void Wait(const LoopState& state, const sigset_t& waitMask) {
    Display* display = state.Window.Target.Connection;
    if (XPending(display) > 0) return;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    posix::WaitForDescriptors({&connection, 1}, state.Ticks.Due, &waitMask);
}

}  // namespace

int RunX11Loop(const X11Options& options, const HackWindow& window, const sigset_t& waitMask, std::ostream& out) {
    Display* display = window.Target.Connection;
    const DesktopImage start = TakeStartPicture(window, options.Scene.Settings.Desktop, StopSignalled);
    X11SceneHost host(window.Target, start, true, StopSignalled);
    LoopState state(options, window, host);
    state.NewSize = host.ClientSize();
    if (options.Fps) OpenFpsReadout(state.Fps, display, window.Target.Id);
    ListenToMonitors(state);
    OpenSession(state);
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
    return posix::ExitSuccess;
}

}  // namespace wrigglet::x11
