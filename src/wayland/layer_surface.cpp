// The layer surface: the overlay layer of the compositor's layer shell, above panels,
// notifications and fullscreen windows, over the whole output, with the keyboard to itself.
#include "wayland/surface_role.h"

namespace wrigglet::wayland {

namespace {

class LayerSurface final : public SurfaceRole {
public:
    LayerSurface(const WaylandGlobals& globals, wl_surface* surface, wl_output* output, RoleEvents events);
    ~LayerSurface() override { zwlr_layer_surface_v1_destroy(layer_); }
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    // The listeners' way in.
    void Configure(uint32_t serial, uint32_t width, uint32_t height);
    // A layer surface is closed when its output goes (or is turned off), not to end the program.
    void Close() { events_.Withdrawn(); }

private:
    zwlr_layer_surface_v1* layer_ = nullptr;
    RoleEvents events_;
};

LayerSurface& Of(void* data) { return *static_cast<LayerSurface*>(data); }

void OnConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height) {
    Of(data).Configure(serial, width, height);
}

void OnClosed(void* data, zwlr_layer_surface_v1*) { Of(data).Close(); }

const zwlr_layer_surface_v1_listener Listener{OnConfigure, OnClosed};

constexpr uint32_t EveryEdge = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                               ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

// Anchored to every edge with no size of its own, it gets the output's; an exclusive zone of
// -1 puts it over the panels' zones rather than beside them. Exclusive keyboard
// interactivity is the same value in every version (before version 4 it was a yes or no).
LayerSurface::LayerSurface(const WaylandGlobals& globals, wl_surface* surface, wl_output* output, RoleEvents events)
    : events_(std::move(events)) {
    layer_ = zwlr_layer_shell_v1_get_layer_surface(globals.LayerShell, surface, output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "wrigglet-wayland");
    zwlr_layer_surface_v1_add_listener(layer_, &Listener, this);
    zwlr_layer_surface_v1_set_anchor(layer_, EveryEdge);
    zwlr_layer_surface_v1_set_size(layer_, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void LayerSurface::Configure(uint32_t serial, uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    events_.Configured({static_cast<int32_t>(width), static_cast<int32_t>(height)});
}

}  // namespace

std::unique_ptr<SurfaceRole> MakeLayerSurface(const WaylandGlobals& globals, wl_surface* surface, wl_output* output,
                                              RoleEvents events) {
    return std::make_unique<LayerSurface>(globals, surface, output, std::move(events));
}

}  // namespace wrigglet::wayland
