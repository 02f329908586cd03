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
    // The compositor closed the surface.
    std::function<void()> Closed;
};

// Destroying the role takes it off the surface; the surface itself stays its owner's.
class SurfaceRole {
public:
    virtual ~SurfaceRole() = default;
};

// A fullscreen xdg toplevel on `output`.
std::unique_ptr<SurfaceRole> MakeFullscreenToplevel(const WaylandGlobals& globals, wl_surface* surface,
                                                    wl_output* output, RoleEvents events);

}  // namespace wrigglet::wayland
