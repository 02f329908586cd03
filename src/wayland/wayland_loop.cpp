// The event loop. Stop signals are blocked except while it waits, so a SIGTERM is seen
// between two requests, never inside one, and the scenes are closed before the exit.
#include "wayland/wayland_loop.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor_layout.h"
#include "posix/descriptor_wait.h"
#include "posix/program_entry.h"
#include "posix/stop_signals.h"
#include "wayland/desktop_reading.h"
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

// A descriptor the loop waits on beside the display's, and what its readiness does.
struct LoopDescriptor {
    int Fd = -1;
    short Events = POLLIN;
    std::function<void(short revents)> Ready;
};

struct LoopState {
    LoopState(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop, std::ostream& out)
        : Display(display),
          Options(options),
          Desktop(desktop),
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
    wl_registry* Registry = nullptr;
    WaylandGlobals Globals;
    text::FontRasteriser Text;
    bool Ending = false;
    OutputContext Context;
    std::vector<OutputSlot> Outputs;
    std::vector<SeatSlot> Seats;
    std::vector<LoopDescriptor> Descriptors;  // waited on beside the display's
    PointerWatch Watch;
    bool Showing = false;  // the saver shows: an output that comes gets its loop at once
    size_t NextIndex = 0;  // the index the next output's scene seeds as
};

LoopState& Of(void* data) { return *static_cast<LoopState*>(data); }

void StartOutputLoop(LoopState& state, OutputSlot& slot) {
    slot.Loop = std::make_unique<OutputLoop>(state.Context, *slot.Output, state.NextIndex++);
}

void OutputDone(LoopState& state, WaylandOutput& output) {
    if (!state.Showing) return;
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

void RemoveOutput(LoopState& state, std::vector<OutputSlot>::iterator output) {
    if (output->Loop)
        for (SeatSlot& seat : state.Seats)
            if (seat.Input->SurfaceUnder == output->Loop->Surface()) seat.Input->SurfaceUnder = nullptr;
    output->Loop.reset();
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

// The saver shows: each output's desktop picture is read first, before any surface of this
// program covers it; then every output gets its loop, in order.
void ShowSaver(LoopState& state, std::ostream& errors) {
    const std::vector<OutputSlot*> outputs = OrderedOutputs(state);
    std::vector<const WaylandOutput*> described;
    for (const OutputSlot* slot : outputs) described.push_back(slot->Output.get());
    ReadDesktops(state.Display, state.Globals, state.Options, described, state.Desktop, errors, posix::StopSignalled);
    state.Showing = true;
    state.NextIndex = 0;  // each showing seeds its outputs from the first scene's index
    for (OutputSlot* slot : outputs) StartOutputLoop(state, *slot);
}

// The earliest tick due, if any.
std::optional<TickTime> NextTick(const LoopState& state) {
    std::optional<TickTime> next;
    for (const OutputSlot& slot : state.Outputs)
        if (slot.Loop)
            if (const auto due = slot.Loop->TickDue(); due && (!next || *due < *next)) next = due;
    return next;
}

// Waits for the display's events, the other descriptors', the next tick or a stop signal,
// and handles what came; false when the connection is lost.
bool WaitAndDispatch(LoopState& state, const sigset_t& waitMask) {
    wl_display* display = state.Display;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    std::vector<pollfd> descriptors{{wl_display_get_fd(display), POLLIN, 0}};
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        descriptors[0].events |= POLLOUT;
    }
    for (const LoopDescriptor& other : state.Descriptors) descriptors.push_back({other.Fd, other.Events, 0});
    const int woke = posix::WaitForDescriptors(descriptors, NextTick(state), &waitMask);
    if (woke > 0 && (descriptors[0].revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
    }
    for (size_t i = 1; woke > 0 && i < descriptors.size(); ++i)
        if (descriptors[i].revents) state.Descriptors[i - 1].Ready(descriptors[i].revents);
    return wl_display_dispatch_pending(display) >= 0;
}

void TickDueOutputs(LoopState& state) {
    const TickTime now = std::chrono::steady_clock::now();
    for (OutputSlot& slot : state.Outputs)
        if (slot.Loop)
            if (const auto due = slot.Loop->TickDue(); due && now >= *due) slot.Loop->Tick();
}

void Release(LoopState& state) {
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
}

}  // namespace

int RunWaylandLoop(wl_display* display, const WaylandOptions& options, DesktopPictures& desktop,
                   const sigset_t& waitMask, std::ostream& out, std::ostream& errors) {
    LoopState state(display, options, desktop, out);
    state.Registry = wl_display_get_registry(display);
    wl_registry_add_listener(state.Registry, &RegistryListener, &state);
    // The globals, then the outputs' descriptions, then xdg-output's answers to requests
    // made while the descriptions came.
    bool connected = true;
    for (int i = 0; i < 3 && connected; ++i) connected = wl_display_roundtrip(display) >= 0;
    int status = posix::ExitSuccess;
    if (const std::string missing = MissingGlobal(state.Globals); connected && !missing.empty()) {
        status = posix::Fail(errors, "wrigglet-wayland", "the compositor offers no " + missing);
    } else if (connected) {
        ShowSaver(state, errors);
        while (connected && !posix::StopSignalled() && !state.Ending) {
            connected = WaitAndDispatch(state, waitMask);
            if (connected && !posix::StopSignalled() && !state.Ending) TickDueOutputs(state);
        }
    }
    if (!connected)
        status = posix::Fail(errors, "wrigglet-wayland",
                             std::string("lost the Wayland display: ") + std::strerror(wl_display_get_error(display)));
    Release(state);
    return status;
}

}  // namespace wrigglet::wayland
