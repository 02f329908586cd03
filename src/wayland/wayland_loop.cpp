// The event loop. Stop signals are blocked except while it waits, so a SIGTERM is seen
// between two requests, never inside one, and the scenes are closed before the exit. The
// saver waits (with -idle), reads the desktop, then shows: a showing ends on input, and with
// -idle the loop waits again.
#include "wayland/wayland_loop.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor_layout.h"
#include "posix/descriptor_wait.h"
#include "posix/program_entry.h"
#include "posix/stop_signals.h"
#include "wayland/desktop_reading.h"
#include "wayland/gnome_shell.h"
#include "wayland/idle_watch.h"
#include "wayland/output_loop.h"
#include "wayland/seat_input.h"
#include "wayland/wayland_globals.h"
#include "wayland/wayland_outputs.h"

namespace wrigglet::wayland {

namespace {

struct OutputSlot {
    std::unique_ptr<WaylandOutput> Output = std::make_unique<WaylandOutput>();
    std::unique_ptr<OutputLoop> Loop;  // while the saver shows on it
};

struct SeatSlot {
    uint32_t GlobalName = 0;
    std::unique_ptr<SeatInput> Input = std::make_unique<SeatInput>();
};

enum class Phase {
    Waiting,  // for the user to be idle (-idle): no surfaces
    Reading,  // the desktop, from the desktop portal
    Showing,  // the scenes, until input
};

struct LoopState {
    LoopState(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop, std::ostream& out,
              std::ostream& errors)
        : Display(display),
          Options(options),
          Desktop(desktop),
          Errors(errors),
          Context{.Globals = Globals,
                  .Options = Options,
                  .Desktop = Desktop,
                  .Text = Text,
                  .Out = out,
                  .Ending = Ending,
                  .StopRequested = posix::StopSignalled} {}
    wl_display* Display;
    const WaylandOptions& Options;
    DesktopPictures& Desktop;
    std::ostream& Errors;
    wl_registry* Registry = nullptr;
    WaylandGlobals Globals;
    text::FontRasteriser Text;
    bool Ending = false;
    OutputContext Context;
    std::vector<OutputSlot> Outputs;
    std::vector<SeatSlot> Seats;
    PointerWatch Watch;
    Phase Now = Phase::Waiting;  // Showing: an output that comes gets its loop at once
    size_t NextIndex = 0;        // the index the next output's scene seeds as
    SessionBus Bus;              // GNOME's idle monitor, its overview, the desktop portal
    IdleWatch Idle;              // with -idle
    PortalScreenshot Portal;     // while Reading
};

LoopState& Of(void* data) { return *static_cast<LoopState*>(data); }

void StartOutputLoop(LoopState& state, OutputSlot& slot) {
    slot.Loop = std::make_unique<OutputLoop>(state.Context, *slot.Output, state.NextIndex++);
}

void OutputDone(LoopState& state, WaylandOutput& output) {
    if (state.Now != Phase::Showing) return;
    for (OutputSlot& slot : state.Outputs) {
        if (slot.Output.get() != &output) continue;
        if (slot.Loop)
            slot.Loop->Follow();
        else
            StartOutputLoop(state, slot);
    }
}

void AddOutput(LoopState& state, uint32_t name, uint32_t version) {
    OutputSlot& slot = state.Outputs.emplace_back();
    slot.Output->Done = [&state](WaylandOutput& output) { OutputDone(state, output); };
    BindOutput(*slot.Output, state.Registry, name, version);
    ListenToXdgOutput(*slot.Output, state.Globals.OutputManager);
}

std::optional<ScreenPoint> SurfaceOrigin(const LoopState& state, wl_surface* surface) {
    for (const OutputSlot& slot : state.Outputs)
        if (slot.Loop && slot.Loop->Surface() == surface) return slot.Loop->Origin();
    return std::nullopt;
}

void AddSeat(LoopState& state, uint32_t name, uint32_t version) {
    SeatSlot& slot = state.Seats.emplace_back();
    slot.GlobalName = name;
    slot.Input->Watch = &state.Watch;
    slot.Input->Ending = &state.Ending;
    slot.Input->SurfaceOrigin = [&state](wl_surface* surface) { return SurfaceOrigin(state, surface); };
    BindSeat(*slot.Input, state.Registry, name, version);
}

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    LoopState& state = Of(data);
    const std::string_view kind = interface;
    if (state.Options.Idle && OfferIdleGlobal(state.Idle, registry, name, kind, version)) return;
    if (BindGlobal(state.Globals, registry, name, kind, version)) {
        // The outputs bound before xdg-output's manager came ask it now.
        if (kind == zxdg_output_manager_v1_interface.name)
            for (OutputSlot& slot : state.Outputs) ListenToXdgOutput(*slot.Output, state.Globals.OutputManager);
    } else if (kind == wl_seat_interface.name) {
        AddSeat(state, name, version);
    } else if (kind == wl_output_interface.name && version >= 2) {
        AddOutput(state, name, version);
    }
}

// Ends the output's scene and takes its surface away.
void StopOutputLoop(LoopState& state, OutputSlot& slot) {
    if (!slot.Loop) return;
    for (SeatSlot& seat : state.Seats)
        if (seat.Input->SurfaceUnder == slot.Loop->Surface()) seat.Input->SurfaceUnder = nullptr;
    slot.Loop.reset();
}

void RemoveOutput(LoopState& state, std::vector<OutputSlot>::iterator output) {
    StopOutputLoop(state, *output);
    ReleaseOutput(*output->Output);
    state.Outputs.erase(output);
}

void OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
    LoopState& state = Of(data);
    const auto output = std::find_if(state.Outputs.begin(), state.Outputs.end(),
                                     [name](const OutputSlot& slot) { return slot.Output->GlobalName == name; });
    if (output != state.Outputs.end()) RemoveOutput(state, output);
    const auto seat = std::find_if(state.Seats.begin(), state.Seats.end(),
                                   [name](const SeatSlot& slot) { return slot.GlobalName == name; });
    if (seat != state.Seats.end()) {
        ReleaseSeat(*seat->Input);
        state.Seats.erase(seat);
    }
}

const wl_registry_listener RegistryListener{OnGlobal, OnGlobalRemove};

// The outputs described so far, in the core's order of monitors.
std::vector<OutputSlot*> OrderedOutputs(LoopState& state) {
    std::vector<OutputSlot*> ready;
    std::vector<PixelRect> logical;
    for (OutputSlot& slot : state.Outputs) {
        if (!slot.Output->Ready) continue;
        ready.push_back(&slot);
        logical.push_back(LogicalRect(*slot.Output));
    }
    std::vector<OutputSlot*> ordered;
    for (size_t i : MonitorOrder(logical, OriginMonitor(logical))) ordered.push_back(ready[i]);
    return ordered;
}

std::vector<const WaylandOutput*> Described(const std::vector<OutputSlot*>& outputs) {
    std::vector<const WaylandOutput*> described;
    for (const OutputSlot* slot : outputs) described.push_back(slot->Output.get());
    return described;
}

// Every output gets its loop, in order, each showing seeding its outputs from the first index.
void ShowScenes(LoopState& state) {
    state.Now = Phase::Showing;
    state.Ending = false;
    state.Watch = {};  // the pointer starts where it first enters this showing's surfaces
    state.NextIndex = 0;
    for (OutputSlot* slot : OrderedOutputs(state)) StartOutputLoop(state, *slot);
}

// Once the portal has answered (or given up, or was not asked), the scenes show over its picture.
void ShowWhenPortalDone(LoopState& state) {
    CheckPortalDeadline(state.Portal, std::chrono::steady_clock::now());
    if (!state.Portal.Done) return;
    UsePortalDesktop(state.Portal, Described(OrderedOutputs(state)), state.Desktop, state.Errors);
    ShowScenes(state);
}

// The scenes are to show: GNOME Shell leaves its overview, which would swallow them, and each
// output's desktop picture is read before any surface of this program covers it; the desktop
// portal's answer comes later, while the loop waits.
void BeginShowing(LoopState& state) {
    LeaveOverview(state.Bus);
    if (ReadsThroughPortal(state.Globals, state.Options)) {
        state.Now = Phase::Reading;
        AskPortalForDesktop(state.Portal, state.Bus);
        ShowWhenPortalDone(state);
        return;
    }
    ReadDesktops(state.Display, state.Globals, state.Options, Described(OrderedOutputs(state)), state.Desktop,
                 state.Errors, posix::StopSignalled);
    ShowScenes(state);
}

// The showing ended (-idle): the surfaces go, the pictures read for it too.
void HideScenes(LoopState& state) {
    for (OutputSlot& slot : state.Outputs) StopOutputLoop(state, slot);
    if (state.Options.Picture.empty()) state.Desktop.Outputs.clear();
    state.Now = Phase::Waiting;
}

std::optional<TickTime> Earliest(std::optional<TickTime> a, std::optional<TickTime> b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}

// When the loop must look again though nothing came: the earliest output's tick, the bus's
// timeout, the portal's deadline.
std::optional<TickTime> NextDeadline(const LoopState& state) {
    std::optional<TickTime> next = state.Bus.Deadline();
    if (state.Now == Phase::Reading && !state.Portal.Done) next = Earliest(next, state.Portal.Deadline);
    for (const OutputSlot& slot : state.Outputs)
        if (slot.Loop) next = Earliest(next, slot.Loop->TickDue());
    return next;
}

// Waits for the display's events, the bus's, a deadline or a stop signal, and handles what
// came; false when the connection is lost.
bool WaitAndDispatch(LoopState& state, const sigset_t& waitMask) {
    wl_display* display = state.Display;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    std::array<pollfd, 2> descriptors{pollfd{wl_display_get_fd(display), POLLIN, 0}, state.Bus.WaitEntry()};
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        descriptors[0].events |= POLLOUT;
    }
    const int woke = posix::WaitForDescriptors(descriptors, NextDeadline(state), &waitMask);
    if (woke > 0 && (descriptors[0].revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}

void TickDueOutputs(LoopState& state) {
    const TickTime now = std::chrono::steady_clock::now();
    for (OutputSlot& slot : state.Outputs)
        if (slot.Loop)
            if (const auto due = slot.Loop->TickDue(); due && now >= *due) slot.Loop->Tick();
}

// What the loop does after each wait, by its phase; false when the saver is to end.
bool Step(LoopState& state) {
    const IdleChange change = state.Options.Idle ? TakeIdleChange(state.Idle) : IdleChange::None;
    switch (state.Now) {
        case Phase::Waiting:
            if (change == IdleChange::Idle) BeginShowing(state);
            break;
        case Phase::Reading:
            ShowWhenPortalDone(state);
            break;
        case Phase::Showing:
            if (!state.Ending) TickDueOutputs(state);
            if (state.Ending && !state.Options.Idle) return false;
            if (state.Ending) HideScenes(state);
            break;
    }
    return true;
}

int LostDisplay(const LoopState& state) {
    return posix::Fail(state.Errors, "wrigglet-wayland",
                       std::string("lost the Wayland display: ") + std::strerror(wl_display_get_error(state.Display)));
}

// Starts the saver: at once, or (-idle) the idle watch; false, after a line, when nothing
// tells idleness.
bool Start(LoopState& state) {
    if (!state.Options.Idle) {
        BeginShowing(state);
        return true;
    }
    wl_seat* seat = state.Seats.empty() ? nullptr : state.Seats.front().Input->Seat;
    const auto timeoutMs = static_cast<uint32_t>(*state.Options.Idle) * 1000;
    if (ArmIdleWatch(state.Idle, seat, state.Bus, timeoutMs) == IdleSource::None) {
        posix::Fail(state.Errors, "wrigglet-wayland",
                    "nothing tells when the user is idle: the compositor offers neither ext_idle_notifier_v1 nor "
                    "org_kde_kwin_idle, and there is no org.gnome.Mutter.IdleMonitor on the session bus");
        return false;
    }
    if (ReadsThroughPortal(state.Globals, state.Options)) WakePortal(state.Bus);
    return true;
}

// Runs the saver until it ends; answers the exit status.
int RunSaver(LoopState& state, const sigset_t& waitMask) {
    state.Bus.Open();  // without a bus, GNOME's parts and the portal are simply absent
    if (!Start(state)) return posix::ExitFailure;
    while (!posix::StopSignalled()) {
        if (!WaitAndDispatch(state, waitMask)) return LostDisplay(state);
        if (state.Bus.Connected() && !state.Bus.Process() && state.Idle.Source == IdleSource::GnomeMonitor)
            return posix::Fail(state.Errors, "wrigglet-wayland",
                               "lost the session bus, on which GNOME's idle monitor told when the user is idle");
        if (posix::StopSignalled() || !Step(state)) break;
    }
    return posix::ExitSuccess;
}

void Release(LoopState& state) {
    ReleasePortalScreenshot(state.Portal);
    ReleaseIdleWatch(state.Idle);
    for (OutputSlot& slot : state.Outputs) {
        slot.Loop.reset();
        ReleaseOutput(*slot.Output);
    }
    state.Outputs.clear();
    for (SeatSlot& slot : state.Seats) ReleaseSeat(*slot.Input);
    state.Seats.clear();
    ReleaseGlobals(state.Globals);
    if (state.Registry) wl_registry_destroy(state.Registry);
    state.Registry = nullptr;
    wl_display_flush(state.Display);
    state.Bus.Close();
}

}  // namespace

int RunWaylandLoop(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop,
                   const sigset_t& waitMask, std::ostream& out, std::ostream& errors) {
    LoopState state(display, options, desktop, out, errors);
    state.Registry = wl_display_get_registry(display);
    wl_registry_add_listener(state.Registry, &RegistryListener, &state);
    // The globals, then the outputs' descriptions, then xdg-output's answers to requests
    // made while the descriptions came.
    bool connected = true;
    for (int i = 0; i < 3 && connected; ++i) connected = wl_display_roundtrip(display) >= 0;
    int status = posix::ExitSuccess;
    if (!connected)
        status = LostDisplay(state);
    else if (const std::string missing = MissingGlobal(state.Globals); !missing.empty())
        status = posix::Fail(errors, "wrigglet-wayland", "the compositor offers no " + missing);
    else
        status = RunSaver(state, waitMask);
    Release(state);
    return status;
}

}  // namespace wrigglet::wayland
