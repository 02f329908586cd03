// The event loop. Signals are blocked except while waiting in ppoll, so a SIGTERM is seen
// between two requests, never inside one, and the scenes are closed before the exit.
#include "wayland/wayland_session.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "core/monitor_layout.h"
#include "wayland/desktop_reading.h"
#include "wayland/output_scene.h"
#include "wayland/seat_input.h"
#include "wayland/wayland_globals.h"
#include "wayland/wayland_outputs.h"

namespace wrigglet::wayland {

namespace {

volatile std::sig_atomic_t StopRequested = 0;

void RequestStop(int) { StopRequested = 1; }

// Signals are held back outside the loop's wait: one that came is pending until then.
bool StopPending() {
    if (StopRequested) return true;
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGTERM) == 1 || sigismember(&pending, SIGINT) == 1;
}

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

struct OutputSlot {
    std::unique_ptr<WaylandOutput> Output = std::make_unique<WaylandOutput>();
    std::unique_ptr<OutputScene> Scene;
};

struct SeatSlot {
    uint32_t GlobalName = 0;
    std::unique_ptr<SeatInput> Input = std::make_unique<SeatInput>();
};

struct WaylandApp {
    WaylandApp(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop, std::ostream& out)
        : Display(display), Options(options), Desktop(desktop), Context{Globals, Options, Desktop,    Text,
                                                                        out,     Ending,  StopPending} {}
    wl_display* Display;
    const WaylandOptions& Options;
    DesktopPictures& Desktop;
    wl_registry* Registry = nullptr;
    WaylandGlobals Globals;
    text::FontRasteriser Text;
    bool Ending = false;
    SceneContext Context;
    std::vector<OutputSlot> Outputs;
    std::vector<SeatSlot> Seats;
    PointerWatch Watch;
    bool Started = false;  // the first outputs have their scenes; later ones get theirs as they come
    size_t NextIndex = 0;  // the index the next output's scene seeds as
};

WaylandApp& Of(void* data) { return *static_cast<WaylandApp*>(data); }

void StartScene(WaylandApp& app, OutputSlot& slot) {
    slot.Scene = std::make_unique<OutputScene>(app.Context, *slot.Output, app.NextIndex++);
}

void OutputDone(WaylandApp& app, WaylandOutput& output) {
    if (!app.Started) return;
    for (OutputSlot& slot : app.Outputs) {
        if (slot.Output.get() != &output) continue;
        if (slot.Scene)
            slot.Scene->Follow();
        else
            StartScene(app, slot);
    }
}

void AddOutput(WaylandApp& app, uint32_t name, uint32_t version) {
    OutputSlot& slot = app.Outputs.emplace_back();
    slot.Output->Done = [&app](WaylandOutput& output) { OutputDone(app, output); };
    BindOutput(*slot.Output, app.Registry, name, version);
    ListenToXdgOutput(*slot.Output, app.Globals.OutputManager);
}

std::optional<ScreenPoint> SurfaceOrigin(const WaylandApp& app, wl_surface* surface) {
    for (const OutputSlot& slot : app.Outputs)
        if (slot.Scene && slot.Scene->Surface() == surface) return slot.Scene->Origin();
    return std::nullopt;
}

void AddSeat(WaylandApp& app, uint32_t name, uint32_t version) {
    SeatSlot& slot = app.Seats.emplace_back();
    slot.GlobalName = name;
    slot.Input->Watch = &app.Watch;
    slot.Input->Ending = &app.Ending;
    slot.Input->SurfaceOrigin = [&app](wl_surface* surface) { return SurfaceOrigin(app, surface); };
    BindSeat(*slot.Input, app.Registry, name, version);
}

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }

const xdg_wm_base_listener WmBaseListener{OnPing};

template <typename Proxy>
Proxy* Bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version) {
    return static_cast<Proxy*>(wl_registry_bind(registry, name, &interface, version));
}

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    WaylandApp& app = Of(data);
    WaylandGlobals& g = app.Globals;
    const std::string_view kind = interface;
    // damage_buffer is wl_compositor 4's.
    if (kind == wl_compositor_interface.name && version >= 4) {
        g.Compositor = Bind<wl_compositor>(registry, name, wl_compositor_interface, 4);
    } else if (kind == wl_shm_interface.name) {
        g.Shm = Bind<wl_shm>(registry, name, wl_shm_interface, 1);
    } else if (kind == xdg_wm_base_interface.name) {
        g.WmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, std::min(version, 5u));
        xdg_wm_base_add_listener(g.WmBase, &WmBaseListener, nullptr);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        g.OutputManager =
            Bind<zxdg_output_manager_v1>(registry, name, zxdg_output_manager_v1_interface, std::min(version, 3u));
        for (OutputSlot& slot : app.Outputs) ListenToXdgOutput(*slot.Output, g.OutputManager);
    } else if (kind == wp_viewporter_interface.name) {
        g.Viewporter = Bind<wp_viewporter>(registry, name, wp_viewporter_interface, 1);
    } else if (kind == wl_seat_interface.name) {
        AddSeat(app, name, version);
    } else if (kind == wl_output_interface.name && version >= 2) {
        AddOutput(app, name, version);
    } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
        g.ScreenCopy = Bind<zwlr_screencopy_manager_v1>(registry, name, zwlr_screencopy_manager_v1_interface,
                                                        std::min(version, 3u));
    }
}

void OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
    WaylandApp& app = Of(data);
    const auto output = std::find_if(app.Outputs.begin(), app.Outputs.end(),
                                     [name](const OutputSlot& slot) { return slot.Output->GlobalName == name; });
    if (output != app.Outputs.end()) {
        if (output->Scene)
            for (SeatSlot& seat : app.Seats)
                if (seat.Input->SurfaceUnder == output->Scene->Surface()) seat.Input->SurfaceUnder = nullptr;
        output->Scene.reset();
        ReleaseOutput(*output->Output);
        app.Outputs.erase(output);
    }
    const auto seat = std::find_if(app.Seats.begin(), app.Seats.end(),
                                   [name](const SeatSlot& slot) { return slot.GlobalName == name; });
    if (seat != app.Seats.end()) {
        ReleaseSeat(*seat->Input);
        app.Seats.erase(seat);
    }
}

const wl_registry_listener RegistryListener{OnGlobal, OnGlobalRemove};

// What the compositor lacks of what this program needs; empty when nothing.
std::string Missing(const WaylandGlobals& g) {
    if (!g.Compositor) return "wl_compositor 4";
    if (!g.Shm) return "wl_shm";
    if (!g.WmBase) return "xdg_wm_base";
    return "";
}

// The first outputs in their order, each with its desktop picture read first, before any
// surface of this program covers it.
void StartScenes(WaylandApp& app, std::ostream& errors) {
    std::vector<size_t> ready;
    std::vector<PixelRect> logical;
    for (size_t i = 0; i < app.Outputs.size(); ++i) {
        if (!app.Outputs[i].Output->Ready) continue;
        ready.push_back(i);
        logical.push_back(LogicalRect(*app.Outputs[i].Output));
    }
    const std::vector<size_t> order = MonitorOrder(logical, OriginMonitor(logical));
    std::vector<const WaylandOutput*> outputs;
    for (size_t i : order) outputs.push_back(app.Outputs[ready[i]].Output.get());
    ReadDesktops(app.Display, app.Globals, app.Options, outputs, app.Desktop, errors);
    app.Started = true;
    for (size_t i : order) StartScene(app, app.Outputs[ready[i]]);
}

// The earliest tick due, if any.
std::optional<Clock::time_point> NextTick(const WaylandApp& app) {
    std::optional<Clock::time_point> next;
    for (const OutputSlot& slot : app.Outputs)
        if (slot.Scene)
            if (const auto due = slot.Scene->TickDue(); due && (!next || *due < *next)) next = due;
    return next;
}

// Waits for events, the next tick or a stop signal, and dispatches what came; false when
// the connection is lost.
bool WaitAndDispatch(WaylandApp& app, const sigset_t& waitMask) {
    wl_display* display = app.Display;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    pollfd connection{wl_display_get_fd(display), POLLIN, 0};
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        connection.events |= POLLOUT;
    }
    timespec timeout{};
    timespec* limit = nullptr;
    if (const auto next = NextTick(app)) {
        const auto left = std::max(Clock::duration::zero(), *next - Clock::now());
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
        timeout.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
        limit = &timeout;
    }
    const int woke = ppoll(&connection, 1, limit, &waitMask);
    if (woke > 0 && (connection.revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}

void TickDueScenes(WaylandApp& app) {
    const Clock::time_point now = Clock::now();
    for (OutputSlot& slot : app.Outputs)
        if (slot.Scene)
            if (const auto due = slot.Scene->TickDue(); due && now >= *due) slot.Scene->Tick();
}

void Release(WaylandApp& app) {
    for (OutputSlot& slot : app.Outputs) {
        slot.Scene.reset();
        ReleaseOutput(*slot.Output);
    }
    app.Outputs.clear();
    for (SeatSlot& slot : app.Seats) ReleaseSeat(*slot.Input);
    app.Seats.clear();
    WaylandGlobals& g = app.Globals;
    if (g.ScreenCopy) zwlr_screencopy_manager_v1_destroy(g.ScreenCopy);
    if (g.Viewporter) wp_viewporter_destroy(g.Viewporter);
    if (g.OutputManager) zxdg_output_manager_v1_destroy(g.OutputManager);
    if (g.WmBase) xdg_wm_base_destroy(g.WmBase);
    if (g.Shm) wl_shm_destroy(g.Shm);
    if (g.Compositor) wl_compositor_destroy(g.Compositor);
    g = {};
    if (app.Registry) wl_registry_destroy(app.Registry);
    app.Registry = nullptr;
    wl_display_flush(app.Display);
}

}  // namespace

int RunWayland(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop, const sigset_t& waitMask,
               std::ostream& out, std::ostream& errors) {
    WaylandApp app(display, options, desktop, out);
    app.Registry = wl_display_get_registry(display);
    wl_registry_add_listener(app.Registry, &RegistryListener, &app);
    // The globals, then the outputs' descriptions, then xdg-output's answers to requests
    // made while the descriptions came.
    bool connected = true;
    for (int i = 0; i < 3 && connected; ++i) connected = wl_display_roundtrip(display) >= 0;
    int status = 0;
    if (const std::string missing = Missing(app.Globals); connected && !missing.empty()) {
        errors << "wrigglet-wayland: the compositor offers no " << missing << "\n";
        status = 1;
    } else if (connected) {
        StartScenes(app, errors);
        while (connected && !StopRequested && !app.Ending) {
            connected = WaitAndDispatch(app, waitMask);
            if (connected && !StopRequested && !app.Ending) TickDueScenes(app);
        }
    }
    if (!connected) {
        errors << "wrigglet-wayland: lost the Wayland display: " << std::strerror(wl_display_get_error(display))
               << "\n";
        status = 1;
    }
    Release(app);
    return status;
}

}  // namespace wrigglet::wayland
