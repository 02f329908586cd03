// The role that puts an output's surface over the whole output. The output's loop makes the
// surface and gives it a role; the role asks the compositor for the output, acknowledges
// each configure and passes on its size, and tells when the compositor closes it.
#pragma once

#include <wayland-client.h>

#include <functional>
#include <memory>

#include "core/scene_session.h"
#include "wayland/wayland_globals.h"

namespace wrigglet::wayland {

struct RoleEvents {
    // A configure, already acknowledged: the surface's size in the logical space (zero when
    // the compositor leaves it to the program: the output's size).
    std::function<void(SceneSize logical)> Configured;
    // The compositor closed the surface: the saver ends.
    std::function<void()> Closed;
    // The compositor shows the surface no more because its output went or was turned off: that
    // output's scene stops, the others go on.
    std::function<void()> Withdrawn;
};

// Destroying the role takes it off the surface; the surface itself stays its owner's.
class SurfaceRole {
public:
    virtual ~SurfaceRole() = default;
};

// A fullscreen xdg toplevel on `output`, which asks for the focus where the compositor lets
// a client ask (xdg-activation).
std::unique_ptr<SurfaceRole> MakeFullscreenToplevel(const WaylandGlobals& globals, wl_surface* surface,
                                                    wl_output* output, RoleEvents events);

// A layer surface over everything else on `output`, panels and fullscreen windows too, with
// the keyboard to itself; needs the compositor's layer shell (globals.LayerShell).
std::unique_ptr<SurfaceRole> MakeLayerSurface(const WaylandGlobals& globals, wl_surface* surface, wl_output* output,
                                              RoleEvents events);

}  // namespace wrigglet::wayland
