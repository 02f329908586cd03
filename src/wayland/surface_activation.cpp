// Asking for a surface's focus through xdg-activation.
#include "wayland/surface_activation.h"

#include <cstdlib>

namespace wrigglet::wayland {

namespace {

void OnTokenDone(void* data, xdg_activation_token_v1*, const char* token) {
    static_cast<SurfaceActivation*>(data)->TokenDone(token);
}

const xdg_activation_token_v1_listener TokenListener{OnTokenDone};

}  // namespace

std::optional<std::string> TakeStartupToken() {
    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    if (!token) return std::nullopt;
    std::string taken = token;
    unsetenv("XDG_ACTIVATION_TOKEN");
    if (taken.empty()) return std::nullopt;
    return taken;
}

SurfaceActivation::SurfaceActivation(xdg_activation_v1* activation, wl_surface* surface)
    : activation_(activation), surface_(surface) {
    if (!activation_) return;
    if (const std::optional<std::string> token = TakeStartupToken()) {
        xdg_activation_v1_activate(activation_, token->c_str(), surface_);
        return;
    }
    // No serial goes with the request: none is known (see the header).
    request_ = xdg_activation_v1_get_activation_token(activation_);
    xdg_activation_token_v1_add_listener(request_, &TokenListener, this);
    xdg_activation_token_v1_set_surface(request_, surface_);
    xdg_activation_token_v1_commit(request_);
}

SurfaceActivation::~SurfaceActivation() {
    if (request_) xdg_activation_token_v1_destroy(request_);
}

void SurfaceActivation::TokenDone(const char* token) {
    xdg_activation_token_v1_destroy(request_);
    request_ = nullptr;
    xdg_activation_v1_activate(activation_, token, surface_);
}

}  // namespace wrigglet::wayland
