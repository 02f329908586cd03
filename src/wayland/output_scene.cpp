// An output's surface and scene. A frame is committed only when the compositor has shown
// the one before (its frame callback), so frames never pile up; the ticks wait for it too.
#include "wayland/output_scene.h"

#include <algorithm>

namespace wrigglet::wayland {

namespace {

OutputScene& Of(void* data) { return *static_cast<OutputScene*>(data); }

void OnSurfaceConfigure(void* data, xdg_surface*, uint32_t serial) { Of(data).Configured(serial); }

const xdg_surface_listener SurfaceListener{OnSurfaceConfigure};

void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    Of(data).ToplevelSize(width, height);
}

void OnToplevelClose(void* data, xdg_toplevel*) { Of(data).Closed(); }

void OnConfigureBounds(void*, xdg_toplevel*, int32_t, int32_t) {}

void OnWmCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener ToplevelListener{OnToplevelConfigure, OnToplevelClose, OnConfigureBounds, OnWmCapabilities};

void OnFrameDone(void* data, wl_callback*, uint32_t) { Of(data).FrameDone(); }

const wl_callback_listener FrameListener{OnFrameDone};

}  // namespace

OutputScene::OutputScene(const SceneContext& context, const WaylandOutput& output, size_t index)
    : context_(context),
      output_(output),
      index_(index),
      size_(PhysicalSize(output)),
      buffers_(context.Globals.Shm, [this] { BufferReleased(); }) {
    const WaylandGlobals& globals = context.Globals;
    surface_ = wl_compositor_create_surface(globals.Compositor);
    wl_surface_set_user_data(surface_, this);
    if (globals.Viewporter) viewport_ = wp_viewporter_get_viewport(globals.Viewporter, surface_);
    xdgSurface_ = xdg_wm_base_get_xdg_surface(globals.WmBase, surface_);
    xdg_surface_add_listener(xdgSurface_, &SurfaceListener, this);
    toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
    xdg_toplevel_add_listener(toplevel_, &ToplevelListener, this);
    xdg_toplevel_set_title(toplevel_, "wrigglet-wayland");
    xdg_toplevel_set_app_id(toplevel_, "wrigglet-wayland");
    xdg_toplevel_set_fullscreen(toplevel_, output.Output);
    wl_surface_commit(surface_);
}

OutputScene::~OutputScene() {
    CloseScene(session_);
    if (frame_) wl_callback_destroy(frame_);
    if (viewport_) wp_viewport_destroy(viewport_);
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(xdgSurface_);
    wl_surface_destroy(surface_);
}

ScreenPoint OutputScene::Origin() const {
    const PixelRect logical = LogicalRect(output_);
    return {logical.Left, logical.Top};
}

void OutputScene::ToplevelSize(int32_t width, int32_t height) { logicalSize_ = {width, height}; }

void OutputScene::Configured(uint32_t serial) {
    xdg_surface_ack_configure(xdgSurface_, serial);
    // The buffer holds the output's physical pixels; the viewport shows them over the
    // surface's logical size, one to one on the output. Without a viewport the buffer
    // scale does it for a whole scale.
    SceneSize logical = logicalSize_;
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

void OutputScene::Open() {
    if (size_.Width <= 0 || size_.Height <= 0) return;
    opened_ = true;
    const int32_t scale = output_.Scale;
    if (!viewport_ && size_.Width % scale == 0 && size_.Height % scale == 0)
        wl_surface_set_buffer_scale(surface_, scale);
    buffers_.Resize(size_.Width, size_.Height);
    SceneOptions options = context_.Options.Scene;
    options.SetUpAtFirstTick = true;  // the desktop shows at once, the set-up comes with the first tick
    options.ShowAtOpening = true;
    options.FirstSceneIndex = index_;
    options.StopRequested = context_.StopRequested;
    StartTickClock(ticks_, OpenScene(session_, SceneParts(*this, nullptr, &context_.Text), options), Clock::now());
}

void OutputScene::Follow() {
    if (!opened_) return;
    const SceneSize now = PhysicalSize(output_);
    if (now.Width == size_.Width && now.Height == size_.Height) return;
    size_ = now;
    buffers_.Resize(size_.Width, size_.Height);
    StartTickClock(ticks_, RelayoutScene(session_), Clock::now());
}

std::optional<Clock::time_point> OutputScene::TickDue() const {
    if (frame_ || buffers_.HasDamage()) return std::nullopt;
    return ticks_.Due;
}

void OutputScene::Tick() {
    const uint32_t next = TickScene(session_);
    ScheduleNextTick(ticks_, next, Clock::now());
    // No next tick: the tick limit is reached; say so once the frame is shown.
    if (next != 0) return;
    if (frame_)
        reportAtFrame_ = true;
    else if (buffers_.HasDamage())
        reportAtCommit_ = true;
    else
        ReportShown();
}

void OutputScene::Commit() {
    if (frame_ || !buffers_.HasDamage() || picture_.empty()) return;
    if (!buffers_.Attach(surface_, picture_.data())) return;
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &FrameListener, this);
    wl_surface_commit(surface_);
    reportAtFrame_ = reportAtFrame_ || reportAtCommit_;
    reportAtCommit_ = false;
}

void OutputScene::FrameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    if (reportAtFrame_) ReportShown();
    Commit();
}

void OutputScene::BufferReleased() { Commit(); }

void OutputScene::ReportShown() {
    reportAtCommit_ = reportAtFrame_ = false;
    context_.Out << "wrigglet-wayland: tick " << session_.Ticks() << " shown on " << output_.Name << std::endl;
}

bool OutputScene::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
    const int32_t width = RectWidth(area), height = RectHeight(area);
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    picture_.assign(pixels, 0);
    // A black snapshot needs no buffer of its own.
    if (source == SnapshotSource::Black) {
        snapshot_ = {};
        pictures = {nullptr, picture_.data()};
        return true;
    }
    snapshot_.assign(pixels, 0);
    FillDesktop(context_.Desktop, output_.Name, width, height, snapshot_.data());
    pictures = {snapshot_.data(), picture_.data()};
    return true;
}

void OutputScene::ReleasePictures() {
    snapshot_ = {};
    picture_ = {};
}

void OutputScene::Present(const std::vector<PixelRect>& rects) {
    buffers_.Damage(rects);
    Commit();
}

bool OutputScene::DesktopVisible() { return HasDesktop(context_.Desktop, output_.Name); }

}  // namespace wrigglet::wayland
