// Binding and releasing the compositor's globals.
#include "wayland/wayland_globals.h"

#include <algorithm>

namespace wrigglet::wayland {

namespace {

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }

const xdg_wm_base_listener WmBaseListener{OnPing};

template <typename Proxy>
Proxy* Bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version) {
    return static_cast<Proxy*>(wl_registry_bind(registry, name, &interface, version));
}

}  // namespace

bool BindGlobal(WaylandGlobals& g, wl_registry* registry, uint32_t name, std::string_view interface, uint32_t version) {
    // damage_buffer is wl_compositor 4's.
    if (interface == wl_compositor_interface.name && version >= 4) {
        g.Compositor = Bind<wl_compositor>(registry, name, wl_compositor_interface, 4);
    } else if (interface == wl_shm_interface.name) {
        g.Shm = Bind<wl_shm>(registry, name, wl_shm_interface, 1);
    } else if (interface == xdg_wm_base_interface.name) {
        g.WmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, std::min(version, 5u));
        xdg_wm_base_add_listener(g.WmBase, &WmBaseListener, nullptr);
    } else if (interface == zxdg_output_manager_v1_interface.name) {
        g.OutputManager =
            Bind<zxdg_output_manager_v1>(registry, name, zxdg_output_manager_v1_interface, std::min(version, 3u));
    } else if (interface == wp_viewporter_interface.name) {
        g.Viewporter = Bind<wp_viewporter>(registry, name, wp_viewporter_interface, 1);
    } else if (interface == zwlr_screencopy_manager_v1_interface.name) {
        g.ScreenCopy = Bind<zwlr_screencopy_manager_v1>(registry, name, zwlr_screencopy_manager_v1_interface,
                                                        std::min(version, 3u));
    } else if (interface == zwlr_layer_shell_v1_interface.name) {
        g.LayerShell = Bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, std::min(version, 4u));
    } else if (interface == xdg_activation_v1_interface.name) {
        g.Activation = Bind<xdg_activation_v1>(registry, name, xdg_activation_v1_interface, 1);
    } else {
        return false;
    }
    return true;
}

std::string MissingGlobal(const WaylandGlobals& g) {
    if (!g.Compositor) return "wl_compositor 4";
    if (!g.Shm) return "wl_shm";
    if (!g.WmBase && !g.LayerShell) return "xdg_wm_base";
    return "";
}

void ReleaseGlobals(WaylandGlobals& g) {
    if (g.Activation) xdg_activation_v1_destroy(g.Activation);
    // The layer shell's destroy request is version 3's; before, the proxy goes alone.
    if (g.LayerShell && zwlr_layer_shell_v1_get_version(g.LayerShell) >= 3)
        zwlr_layer_shell_v1_destroy(g.LayerShell);
    else if (g.LayerShell)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(g.LayerShell));
    if (g.ScreenCopy) zwlr_screencopy_manager_v1_destroy(g.ScreenCopy);
    if (g.Viewporter) wp_viewporter_destroy(g.Viewporter);
    if (g.OutputManager) zxdg_output_manager_v1_destroy(g.OutputManager);
    if (g.WmBase) xdg_wm_base_destroy(g.WmBase);
    if (g.Shm) wl_shm_destroy(g.Shm);
    if (g.Compositor) wl_compositor_destroy(g.Compositor);
    g = {};
}

}  // namespace wrigglet::wayland
