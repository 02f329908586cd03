// The outputs as the compositor shows them now, copied into the program's memory through
// wlroots' screen copy protocol (zwlr_screencopy_manager_v1, versions 1 to 3).
#pragma once

#include <wayland-client.h>

#include <chrono>
#include <optional>
#include <vector>

#include "core/stop_request.h"
#include "image/picture_sampling.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace wrigglet::wayland {

// Long enough for a busy compositor's next frame, short enough not to hold up the start.
inline constexpr std::chrono::milliseconds ScreenCopyLimit{2000};

struct CopiedOutput {
    wl_output* Output = nullptr;
    int32_t Transform = WL_OUTPUT_TRANSFORM_NORMAL;
};

// Copies every output at once and waits at most `limit` for them all: a picture for each
// (upright, its physical size), or none where the compositor failed, offered no wl_shm
// buffer of a format the program reads, or took too long, or a stop request came. Only the
// copies' own events are dispatched meanwhile: the program's others wait in their queue.
std::vector<std::optional<image::PixelPicture>> CopyOutputs(wl_display* display, wl_shm* shm,
                                                            zwlr_screencopy_manager_v1* manager,
                                                            const std::vector<CopiedOutput>& outputs,
                                                            const StopRequest& stop,
                                                            std::chrono::milliseconds limit = ScreenCopyLimit);

}  // namespace wrigglet::wayland
