// One output's loop: a surface over the output, drawn at its physical pixels, and a scene
// session of its own seeded as that output's index, ticked by its tick clock. A frame is
// committed only once the compositor has shown the one before (its frame callback), and
// the ticks wait for it too, so frames never pile up.
#pragma once

#include <memory>
#include <optional>
#include <ostream>

#include "core/mouse_watch.h"
#include "core/scene_session.h"
#include "core/stop_request.h"
#include "core/tick_clock.h"
#include "text/font_rasteriser.h"
#include "wayland/desktop_pictures.h"
#include "wayland/surface_role.h"
#include "wayland/wayland_globals.h"
#include "wayland/wayland_options.h"
#include "wayland/wayland_outputs.h"
#include "wayland/wayland_scene_host.h"

namespace wrigglet::wayland {

// What every output's loop shares.
struct OutputContext {
    const WaylandGlobals& Globals;
    const WaylandOptions& Options;
    const DesktopPictures& Desktop;
    text::FontRasteriser& Text;
    std::ostream& Out;          // the -ticks reports
    bool& Ending;               // set when the compositor closes a surface
    StopRequest StopRequested;  // a stop signal waits: a long set-up ends early
};

class OutputLoop {
public:
    OutputLoop(const OutputContext& context, const WaylandOutput& output, size_t index);
    ~OutputLoop();
    OutputLoop(const OutputLoop&) = delete;
    OutputLoop& operator=(const OutputLoop&) = delete;

    // When the next tick may run: none while nothing animates, or while the last frame
    // waits for the compositor (a hidden output gets no frames, so it gets no ticks), or once
    // the compositor has withdrawn the surface.
    std::optional<TickTime> TickDue() const;
    void Tick();
    // The output's mode or place changed.
    void Follow();
    // Where the surface starts in the logical space.
    ScreenPoint Origin() const;
    wl_surface* Surface() const { return surface_; }

    // The frame callback's way in.
    void FrameDone();

private:
    void Configured(SceneSize logical);
    void Open();
    void Commit();
    void ReportShown();

    const OutputContext& context_;
    const WaylandOutput& output_;
    size_t index_;
    wl_surface* surface_ = nullptr;
    wp_viewport* viewport_ = nullptr;
    std::unique_ptr<SurfaceRole> role_;
    wl_callback* frame_ = nullptr;  // the frame the compositor has yet to show
    WaylandSceneHost host_;
    SceneSession session_;
    bool opened_ = false;
    bool withdrawn_ = false;  // the compositor shows the surface no more
    TickClock ticks_;
    // The -ticks report: the last tick is shown once the frame that carries it is.
    bool reportAtCommit_ = false;
    bool reportAtFrame_ = false;
};

}  // namespace wrigglet::wayland
