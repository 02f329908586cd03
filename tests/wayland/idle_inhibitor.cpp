// An idle inhibitor, as a playing video holds one, for the scenarios that check the saver keeps
// away: idle-inhibitor maps a small grey window, inhibits idleness while its surface shows
// (zwp_idle_inhibit_manager_v1), prints "inhibiting" and holds it until it is ended.
// `idle-inhibitor fullscreen` asks for its window fullscreen, as a playing video's is.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

constexpr int Side = 64;

struct Client {
    wl_compositor* Compositor = nullptr;
    wl_shm* Shm = nullptr;
    xdg_wm_base* WmBase = nullptr;
    zwp_idle_inhibit_manager_v1* InhibitManager = nullptr;
    wl_surface* Surface = nullptr;
    bool Configured = false;
};

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

void Announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto& client = *static_cast<Client*>(data);
    const std::string_view offered = interface;
    if (offered == wl_compositor_interface.name) {
        client.Compositor = Bind<wl_compositor>(registry, name, wl_compositor_interface, 1);
    } else if (offered == wl_shm_interface.name) {
        client.Shm = Bind<wl_shm>(registry, name, wl_shm_interface, 1);
    } else if (offered == xdg_wm_base_interface.name) {
        client.WmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, 1);
    } else if (offered == zwp_idle_inhibit_manager_v1_interface.name) {
        client.InhibitManager =
            Bind<zwp_idle_inhibit_manager_v1>(registry, name, zwp_idle_inhibit_manager_v1_interface, 1);
    }
}

void Forget(void*, wl_registry*, uint32_t) {}

void Ping(void*, xdg_wm_base* wmBase, uint32_t serial) { xdg_wm_base_pong(wmBase, serial); }

void Configure(void* data, xdg_surface* surface, uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    static_cast<Client*>(data)->Configured = true;
}

const wl_registry_listener RegistryListener = {Announce, Forget};
const xdg_wm_base_listener WmBaseListener = {Ping};
const xdg_surface_listener SurfaceListener = {Configure};

// A grey square in shared memory.
wl_buffer* GreyBuffer(wl_shm* shm) {
    const int size = Side * Side * 4;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) < 0) return nullptr;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return nullptr;
    auto* pixel = static_cast<uint32_t*>(pixels);
    for (int i = 0; i < Side * Side; ++i) pixel[i] = 0xff808080;
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, Side, Side, Side * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

int Fail(const char* why) {
    std::fprintf(stderr, "idle-inhibitor: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return Fail("cannot connect to the Wayland display");
    Client client;
    wl_registry_add_listener(wl_display_get_registry(display), &RegistryListener, &client);
    wl_display_roundtrip(display);
    if (!client.Compositor || !client.Shm || !client.WmBase) return Fail("the compositor lacks a global it needs");
    if (!client.InhibitManager) return Fail("the compositor offers no zwp_idle_inhibit_manager_v1");
    xdg_wm_base_add_listener(client.WmBase, &WmBaseListener, nullptr);

    client.Surface = wl_compositor_create_surface(client.Compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(client.WmBase, client.Surface);
    xdg_surface_add_listener(surface, &SurfaceListener, &client);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    if (argc > 1 && std::string_view(argv[1]) == "fullscreen") xdg_toplevel_set_fullscreen(toplevel, nullptr);
    zwp_idle_inhibit_manager_v1_create_inhibitor(client.InhibitManager, client.Surface);
    wl_surface_commit(client.Surface);
    while (!client.Configured) {
        if (wl_display_dispatch(display) < 0) return Fail("the compositor went away");
    }
    wl_buffer* buffer = GreyBuffer(client.Shm);
    if (buffer == nullptr) return Fail("cannot make a buffer");
    wl_surface_attach(client.Surface, buffer, 0, 0);
    wl_surface_commit(client.Surface);
    wl_display_roundtrip(display);
    std::puts("inhibiting");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {}
    return Fail("the compositor went away");
}
