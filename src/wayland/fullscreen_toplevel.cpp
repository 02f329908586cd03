// The fullscreen xdg toplevel: a window the compositor shows over its whole output.
#include "wayland/surface_role.h"

#include <optional>

#include "wayland/surface_activation.h"

namespace wrigglet::wayland {

namespace {

class FullscreenToplevel final : public SurfaceRole {
public:
    FullscreenToplevel(const WaylandGlobals& globals, wl_surface* surface, wl_output* output, RoleEvents events);
    ~FullscreenToplevel() override;
    FullscreenToplevel(const FullscreenToplevel&) = delete;
    FullscreenToplevel& operator=(const FullscreenToplevel&) = delete;

    // The listeners' way in.
    void Configure(uint32_t serial);
    void Size(int32_t width, int32_t height) { size_ = {width, height}; }
    void Close() { events_.Closed(); }

private:
    xdg_activation_v1* activationGlobal_;
    wl_surface* surface_;
    xdg_surface* xdgSurface_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    SceneSize size_;  // the toplevel's latest configure
    RoleEvents events_;
    std::optional<SurfaceActivation> activation_;  // asked for once the window is first configured
};

FullscreenToplevel& Of(void* data) { return *static_cast<FullscreenToplevel*>(data); }

void OnSurfaceConfigure(void* data, xdg_surface*, uint32_t serial) { Of(data).Configure(serial); }

const xdg_surface_listener SurfaceListener{OnSurfaceConfigure};

void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    Of(data).Size(width, height);
}

void OnToplevelClose(void* data, xdg_toplevel*) { Of(data).Close(); }

void OnConfigureBounds(void*, xdg_toplevel*, int32_t, int32_t) {}

void OnWmCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener ToplevelListener{OnToplevelConfigure, OnToplevelClose, OnConfigureBounds, OnWmCapabilities};

FullscreenToplevel::FullscreenToplevel(const WaylandGlobals& globals, wl_surface* surface, wl_output* output,
                                       RoleEvents events)
    : activationGlobal_(globals.Activation), surface_(surface), events_(std::move(events)) {
    xdgSurface_ = xdg_wm_base_get_xdg_surface(globals.WmBase, surface);
    xdg_surface_add_listener(xdgSurface_, &SurfaceListener, this);
    toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
    xdg_toplevel_add_listener(toplevel_, &ToplevelListener, this);
    xdg_toplevel_set_title(toplevel_, "wrigglet-wayland");
    xdg_toplevel_set_app_id(toplevel_, "wrigglet-wayland");
    xdg_toplevel_set_fullscreen(toplevel_, output);
}

FullscreenToplevel::~FullscreenToplevel() {
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(xdgSurface_);
}

// The toplevel's size comes first, then the surface's configure that closes the set. The
// focus is asked for once the window has its first picture, which its owner commits when told
// it is configured: a compositor may not activate a window that does not show yet.
void FullscreenToplevel::Configure(uint32_t serial) {
    xdg_surface_ack_configure(xdgSurface_, serial);
    events_.Configured(size_);
    if (!activation_) activation_.emplace(activationGlobal_, surface_);
}

}  // namespace

std::unique_ptr<SurfaceRole> MakeFullscreenToplevel(const WaylandGlobals& globals, wl_surface* surface,
                                                    wl_output* output, RoleEvents events) {
    return std::make_unique<FullscreenToplevel>(globals, surface, output, std::move(events));
}

}  // namespace wrigglet::wayland
