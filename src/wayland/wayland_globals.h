// The compositor's globals the program draws with, and what every output's scene shares.
#pragma once

#include <wayland-client.h>

#include <ostream>

#include "core/stop_request.h"
#include "text/font_rasteriser.h"
#include "viewporter-client-protocol.h"
#include "wayland/desktop_pictures.h"
#include "wayland/wayland_options.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
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
};

struct SceneContext {
    const WaylandGlobals& Globals;
    const WaylandOptions& Options;
    const DesktopPictures& Desktop;
    text::FontRasteriser& Text;
    std::ostream& Out;          // the -ticks reports
    bool& Ending;               // set when the compositor closes a surface
    StopRequest StopRequested;  // a stop signal waits: a long set-up ends early
};

}  // namespace wrigglet::wayland
