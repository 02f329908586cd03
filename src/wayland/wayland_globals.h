// The compositor's globals the program draws with: bound as the registry names them,
// checked for what the program can't do without, released at the end.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace wrigglet::wayland {

struct WaylandGlobals {
    wl_compositor* Compositor = nullptr;
    wl_shm* Shm = nullptr;
    xdg_wm_base* WmBase = nullptr;
    zxdg_output_manager_v1* OutputManager = nullptr;
    wp_viewporter* Viewporter = nullptr;
    zwlr_screencopy_manager_v1* ScreenCopy = nullptr;  // wlroots compositors let a client copy the outputs
    zwlr_layer_shell_v1* LayerShell = nullptr;         // surfaces over everything (wlroots, KDE Plasma)
    xdg_activation_v1* Activation = nullptr;           // asking for a window's focus
};

// Binds the registry's global `name` when it is one of these; false for any other (seats
// and outputs are the loop's).
bool BindGlobal(WaylandGlobals& globals, wl_registry* registry, uint32_t name, std::string_view interface,
                uint32_t version);

// What the compositor lacks of what this program needs; empty when nothing.
std::string MissingGlobal(const WaylandGlobals& globals);

void ReleaseGlobals(WaylandGlobals& globals);

}  // namespace wrigglet::wayland
