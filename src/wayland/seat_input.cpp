// Listeners of the seat and its pointer, keyboard and touch.
#include "wayland/seat_input.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace wrigglet::wayland {

namespace {

SeatInput& Of(void* data) { return *static_cast<SeatInput*>(data); }

void End(void* data) { *Of(data).Ending = true; }

void Moved(SeatInput& input, wl_fixed_t x, wl_fixed_t y) {
    if (!input.SurfaceUnder || !input.SurfaceOrigin) return;
    const std::optional<ScreenPoint> origin = input.SurfaceOrigin(input.SurfaceUnder);
    if (!origin) return;
    const ScreenPoint local{wl_fixed_to_int(x), wl_fixed_to_int(y)};
    if (PointerMoveEnds(*input.Watch, local, *origin)) *input.Ending = true;
}

void OnEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    SeatInput& input = Of(data);
    input.SurfaceUnder = surface;
    // The pointer is invisible over the saver.
    if (input.SurfaceOrigin && input.SurfaceOrigin(surface)) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    Moved(input, x, y);
}

void OnLeave(void* data, wl_pointer*, uint32_t, wl_surface*) { Of(data).SurfaceUnder = nullptr; }

void OnMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) { Moved(Of(data), x, y); }

void OnButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) End(data);
}

void OnAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void OnFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
void OnAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener PointerListener{OnEnter, OnLeave,      OnMotion,   OnButton,       OnAxis,
                                          OnFrame, OnAxisSource, OnAxisStop, OnAxisDiscrete, OnAxisValue120};

void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) End(data);
}

void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener KeyboardListener{OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                            OnKey,    OnModifiers,     OnRepeatInfo};

void OnTouchDown(void* data, wl_touch*, uint32_t, uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t) { End(data); }
void OnTouchUp(void*, wl_touch*, uint32_t, uint32_t, int32_t) {}
void OnTouchMotion(void*, wl_touch*, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchFrame(void*, wl_touch*) {}
void OnTouchCancel(void*, wl_touch*) {}
void OnTouchShape(void*, wl_touch*, int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchOrientation(void*, wl_touch*, int32_t, wl_fixed_t) {}

const wl_touch_listener TouchListener{OnTouchDown,   OnTouchUp,    OnTouchMotion,     OnTouchFrame,
                                      OnTouchCancel, OnTouchShape, OnTouchOrientation};

template <typename Device>
void Drop(Device*& device, void (*release)(Device*), void (*destroy)(Device*), uint32_t version) {
    if (!device) return;
    (version >= 3 ? release : destroy)(device);
    device = nullptr;
}

void DropDevices(SeatInput& input, uint32_t capabilities) {
    const uint32_t version = wl_seat_get_version(input.Seat);
    if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) {
        Drop(input.Pointer, wl_pointer_release, wl_pointer_destroy, version);
        input.SurfaceUnder = nullptr;
    }
    if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD))
        Drop(input.Keyboard, wl_keyboard_release, wl_keyboard_destroy, version);
    if (!(capabilities & WL_SEAT_CAPABILITY_TOUCH)) Drop(input.Touch, wl_touch_release, wl_touch_destroy, version);
}

void OnCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    SeatInput& input = Of(data);
    DropDevices(input, capabilities);
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !input.Pointer) {
        input.Pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(input.Pointer, &PointerListener, &input);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !input.Keyboard) {
        input.Keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(input.Keyboard, &KeyboardListener, &input);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) && !input.Touch) {
        input.Touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(input.Touch, &TouchListener, &input);
    }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener SeatListener{OnCapabilities, OnSeatName};

}  // namespace

void BindSeat(SeatInput& input, wl_registry* registry, uint32_t name, uint32_t version) {
    // Version 5 at most: this program handles every event up to it.
    input.Seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(input.Seat, &SeatListener, &input);
}

void ReleaseSeat(SeatInput& input) {
    if (!input.Seat) return;
    DropDevices(input, 0);
    if (wl_seat_get_version(input.Seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(input.Seat);
    else
        wl_seat_destroy(input.Seat);
    input.Seat = nullptr;
}

bool PointerMoveEnds(PointerWatch& watch, ScreenPoint local, ScreenPoint origin) {
    const ScreenPoint position{local.x + origin.x, local.y + origin.y};
    if (!watch.Started) {
        watch.Started = true;
        RecordMouseOrigin(watch.Watch, position);
    }
    // The position that starts the watch is also the move the rule lets pass: the one a
    // surface appearing under the pointer brings, which says nothing about the user.
    return MouseMoveAsksToClose(watch.Watch, position);
}

}  // namespace wrigglet::wayland
