// The event loop. Signals are blocked except while waiting in ppoll, so a SIGTERM is seen
// between two X requests, never inside one, and the scene is closed before the exit.
#include "x11/hack_loop.h"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>

#include "text/font_rasteriser.h"
#include "x11/x11_monitors.h"

namespace wrigglet::x11 {

namespace {

volatile std::sig_atomic_t StopRequested = 0;

void RequestStop(int) { StopRequested = 1; }

}  // namespace

sigset_t CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stops, previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigprocmask(SIG_BLOCK, &stops, &previous);
    sigdelset(&previous, SIGTERM);
    sigdelset(&previous, SIGINT);
    return previous;
}

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
    std::optional<Clock::time_point> NextTick;  // none: nothing more to animate
    SceneSize NewSize;                          // the window's size from its latest ConfigureNotify
    bool Ending = false;
};

// The session answers the milliseconds to the next tick, 0 for none. A late tick is not
// made up for, as a platform timer doesn't queue missed ticks.
void ScheduleTick(HackState& state, uint32_t milliseconds) {
    if (milliseconds == 0) {
        state.NextTick.reset();
        return;
    }
    const Clock::time_point now = Clock::now(),
                            due = state.NextTick.value_or(now) + std::chrono::milliseconds(milliseconds);
    state.NextTick = std::max(due, now);
}

void OpenHackScene(HackState& state) {
    if (state.Window.IsRoot)
        state.Host.SetMonitors(QueryRootMonitors(state.Window.Target.Connection, state.Window.Target.Id));
    // The set-up waits for the first tick, so the first paint, as a new window gets on
    // Windows, shows the snapshot at once (XScreenSaver's window is black until then).
    SceneOptions options;
    options.Settings = state.Options.Settings;
    options.SetUpAtFirstTick = true;
    options.Seed = state.Options.Seed;
    options.TickLimit = state.Options.Ticks;
    const uint32_t first = OpenScene(state.Session, SceneParts(state.Host, nullptr, &state.Text), options);
    RepaintScene(state.Session, {0, 0, state.Session.Picture.Width, state.Session.Picture.Height});
    ScheduleTick(state, first);
}

void Tick(HackState& state, std::ostream& out) {
    ScheduleTick(state, TickScene(state.Session));
    if (state.Options.Ticks && state.Session.Ticks == *state.Options.Ticks) {
        XSync(state.Window.Target.Connection, False);
        out << "wrigglet: tick " << state.Session.Ticks << " shown with "
            << (state.Host.UsesSharedMemory() ? "MIT-SHM" : "XPutImage") << std::endl;
    }
}

void HandleEvent(HackState& state, const XEvent& event) {
    switch (event.type) {
        case Expose:
            RepaintScene(state.Session, {event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                         event.xexpose.y + event.xexpose.height});
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

// A new size lays the scenes out again, once for a whole run of resizes.
void FollowResize(HackState& state) {
    const SceneSize now = state.Host.ClientSize();
    if (state.NewSize.Width == now.Width && state.NewSize.Height == now.Height) return;
    state.Host.Resize(state.NewSize.Width, state.NewSize.Height);
    if (state.Window.IsRoot)
        state.Host.SetMonitors(QueryRootMonitors(state.Window.Target.Connection, state.Window.Target.Id));
    state.NextTick.reset();
    ScheduleTick(state, RelayoutScene(state.Session));
}

// Waits for X events, the next tick or a stop signal, whichever comes first.
void Wait(const HackState& state, const sigset_t& waitMask) {
    Display* display = state.Window.Target.Connection;
    if (XPending(display) > 0) return;
    timespec timeout{};
    timespec* limit = nullptr;
    if (state.NextTick) {
        const auto left = std::max(Clock::duration::zero(), *state.NextTick - Clock::now());
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
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
    const DesktopImage desktop =
        options.Settings.Desktop ? TakeDesktop(display, window.Target.Id, window.IsRoot) : DesktopImage{};
    X11SceneHost host(window.Target, desktop, true);
    HackState state(options, window, host);
    state.NewSize = host.ClientSize();
    OpenHackScene(state);
    while (!StopRequested && !state.Ending) {
        Wait(state, waitMask);
        while (XPending(display) > 0 && !state.Ending) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(state, event);
        }
        FollowResize(state);
        if (!state.Ending && !StopRequested && state.NextTick && Clock::now() >= *state.NextTick) Tick(state, out);
    }
    CloseScene(state.Session);
    return 0;
}

}  // namespace wrigglet::x11
