// Asking the compositor to give a surface the focus (xdg-activation): with the token the
// program was started with, when a launcher gave it one, else with a token asked for the
// surface. A compositor may refuse (it may want a recent input serial, which this program never
// has when its surfaces come: its input ends it); the surface then stays as it was.
#pragma once

#include <wayland-client.h>

#include <optional>
#include <string>

#include "xdg-activation-v1-client-protocol.h"

namespace wrigglet::wayland {

class SurfaceActivation {
public:
    // Asks at once; does nothing where the compositor lets no client ask (`activation` null).
    SurfaceActivation(xdg_activation_v1* activation, wl_surface* surface);
    ~SurfaceActivation();
    SurfaceActivation(const SurfaceActivation&) = delete;
    SurfaceActivation& operator=(const SurfaceActivation&) = delete;

    // The listener's way in: the token asked for.
    void TokenDone(const char* token);

private:
    xdg_activation_v1* activation_;
    wl_surface* surface_;
    xdg_activation_token_v1* request_ = nullptr;  // a token asked for and not yet given
};

// The token a launcher started the program with (XDG_ACTIVATION_TOKEN), taken out of the
// environment so that nothing started after it uses it again; none when there was none.
std::optional<std::string> TakeStartupToken();

}  // namespace wrigglet::wayland
