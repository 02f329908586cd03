// An output's surface, its pacing and its scenes' ticks.
#include "wayland/output_loop.h"

namespace wrigglet::wayland {

namespace {

using Clock = std::chrono::steady_clock;

void OnFrameDone(void* data, wl_callback*, uint32_t) { static_cast<OutputLoop*>(data)->FrameDone(); }

const wl_callback_listener FrameListener{OnFrameDone};

}  // namespace

OutputLoop::OutputLoop(const OutputContext& context, const WaylandOutput& output, size_t index)
    : context_(context),
      output_(output),
      index_(index),
      host_(context.Globals.Shm, context.Desktop, output, [this] { Commit(); }) {
    const WaylandGlobals& globals = context.Globals;
    surface_ = wl_compositor_create_surface(globals.Compositor);
    wl_surface_set_user_data(surface_, this);
    if (globals.Viewporter) viewport_ = wp_viewporter_get_viewport(globals.Viewporter, surface_);
    host_.Resize(PhysicalSize(output));
    RoleEvents events{.Configured = [this](SceneSize logical) { Configured(logical); },
                      .Closed = [this] { context_.Ending = true; },
                      .Withdrawn = [this] { withdrawn_ = true; }};
    // Over everything where the compositor has a layer shell; elsewhere a fullscreen window.
    role_ = globals.LayerShell ? MakeLayerSurface(globals, surface_, output.Output, std::move(events))
                               : MakeFullscreenToplevel(globals, surface_, output.Output, std::move(events));
    wl_surface_commit(surface_);
}

OutputLoop::~OutputLoop() {
    CloseScene(session_);
    if (frame_) wl_callback_destroy(frame_);
    if (viewport_) wp_viewport_destroy(viewport_);
    role_.reset();
    wl_surface_destroy(surface_);
}

ScreenPoint OutputLoop::Origin() const {
    const PixelRect logical = LogicalRect(output_);
    return {logical.Left, logical.Top};
}

void OutputLoop::Configured(SceneSize logical) {
    // The buffer holds the output's physical pixels; the viewport shows them over the
    // surface's logical size, one to one on the output. Without a viewport the buffer
    // scale does it for a whole scale.
    if (logical.Width <= 0 || logical.Height <= 0) {
        const PixelRect rect = LogicalRect(output_);
        logical = {RectWidth(rect), RectHeight(rect)};
    }
    if (viewport_ && logical.Width > 0 && logical.Height > 0)
        wp_viewport_set_destination(viewport_, logical.Width, logical.Height);
    if (opened_)
        wl_surface_commit(surface_);  // the new size takes effect; the buffer stays
    else
        Open();
}

void OutputLoop::Open() {
    const SceneSize size = host_.Size();
    if (size.Width <= 0 || size.Height <= 0) return;
    opened_ = true;
    const int32_t scale = output_.Scale;
    if (!viewport_ && size.Width % scale == 0 && size.Height % scale == 0) wl_surface_set_buffer_scale(surface_, scale);
    SceneOptions options = context_.Options.Scene;
    options.SetUpAtFirstTick = true;  // the desktop shows at once, the set-up comes with the first tick
    options.ShowAtOpening = true;
    options.FirstSceneIndex = index_;
    options.StopRequested = context_.StopRequested;
    StartTickClock(ticks_, OpenScene(session_, SceneParts(host_, nullptr, &context_.Text), options), Clock::now());
}

void OutputLoop::Follow() {
    if (!opened_) return;
    const SceneSize now = PhysicalSize(output_), before = host_.Size();
    if (now.Width == before.Width && now.Height == before.Height) return;
    host_.Resize(now);
    StartTickClock(ticks_, RelayoutScene(session_), Clock::now());
}

std::optional<TickTime> OutputLoop::TickDue() const {
    if (withdrawn_ || frame_ || host_.HasDamage()) return std::nullopt;
    return ticks_.Due;
}

void OutputLoop::Tick() {
    const uint32_t next = TickScene(session_);
    ScheduleNextTick(ticks_, next, Clock::now());
    // No next tick: the tick limit is reached; say so once the frame is shown.
    if (next != 0) return;
    if (frame_)
        reportAtFrame_ = true;
    else if (host_.HasDamage())
        reportAtCommit_ = true;
    else
        ReportShown();
}

void OutputLoop::Commit() {
    if (withdrawn_ || frame_ || !host_.HasDamage()) return;
    if (!host_.Attach(surface_)) return;
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &FrameListener, this);
    wl_surface_commit(surface_);
    reportAtFrame_ = reportAtFrame_ || reportAtCommit_;
    reportAtCommit_ = false;
}

void OutputLoop::FrameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    if (reportAtFrame_) ReportShown();
    Commit();
}

void OutputLoop::ReportShown() {
    reportAtCommit_ = reportAtFrame_ = false;
    context_.Out << "wrigglet-wayland: tick " << session_.Ticks() << " shown on " << output_.Name << std::endl;
}

}  // namespace wrigglet::wayland
