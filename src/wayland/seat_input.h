// The input that ends the saver: any key, button or touch on its surfaces, or the pointer
// moved far enough from where it first entered them (the saver's mouse rule).
#pragma once

#include <wayland-client.h>

#include <functional>
#include <optional>

#include "core/mouse_watch.h"

namespace wrigglet::wayland {

// The one watch of the pointer for every seat and surface: the first entry is where it started.
struct PointerWatch {
    MouseWatch Watch;
    bool Started = false;
};

struct SeatInput {
    wl_seat* Seat = nullptr;
    wl_pointer* Pointer = nullptr;
    wl_keyboard* Keyboard = nullptr;
    wl_touch* Touch = nullptr;
    // Where one of the saver's surfaces starts in the logical space; none for another's.
    std::function<std::optional<ScreenPoint>(wl_surface*)> SurfaceOrigin;
    PointerWatch* Watch = nullptr;
    wl_surface* SurfaceUnder = nullptr;  // the pointer's, for the motions that name none
    bool* Ending = nullptr;              // set when the input asks the saver to end
};

// Binds the registry's seat `name` and follows its devices.
void BindSeat(SeatInput& input, wl_registry* registry, uint32_t name, uint32_t version);

void ReleaseSeat(SeatInput& input);

// The pointer is at `local` on a surface that starts at `origin` in the logical space;
// true when that ends the saver. Its first position only starts the watch.
bool PointerMoveEnds(PointerWatch& watch, ScreenPoint local, ScreenPoint origin);

}  // namespace wrigglet::wayland
