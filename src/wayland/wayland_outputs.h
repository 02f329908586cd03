// The compositor's outputs as this program follows them: wl_output's mode, scale and
// transform, and xdg-output's place and size in the logical space.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/pixel_rect.h"
#include "core/scene_session.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace wrigglet::wayland {

struct WaylandOutput {
    uint32_t GlobalName = 0;  // the registry's name, which global_remove gives back
    wl_output* Output = nullptr;
    zxdg_output_v1* XdgOutput = nullptr;
    std::string Name;  // HEADLESS-1, DP-2, ...: from wl_output 4 or xdg-output 2
    int32_t GeometryX = 0, GeometryY = 0;
    int32_t ModeWidth = 0, ModeHeight = 0;  // the current mode: physical pixels before the transform
    int32_t Scale = 1;
    int32_t Transform = WL_OUTPUT_TRANSFORM_NORMAL;
    bool HasLogical = false;  // xdg-output gave a place and a size
    PixelRect Logical;
    bool WaitForXdg = false;  // an xdg_output was asked for and has not answered
    bool Ready = false;       // a whole description has arrived
    // Called each time a whole description has arrived (first or changed).
    std::function<void(WaylandOutput&)> Done;
};

// Binds the output of the registry's `name` and listens to it.
void BindOutput(WaylandOutput& output, wl_registry* registry, uint32_t name, uint32_t version);

// Asks the manager for the output's place in the logical space.
void ListenToXdgOutput(WaylandOutput& output, zxdg_output_manager_v1* manager);

void ReleaseOutput(WaylandOutput& output);

// The output's pixels as they face the user: the mode, turned by the transform.
SceneSize PhysicalSize(const WaylandOutput& output);

// The output's rectangle in the logical space: xdg-output's, else the position wl_output
// gives and the mode divided by the scale.
PixelRect LogicalRect(const WaylandOutput& output);

}  // namespace wrigglet::wayland
