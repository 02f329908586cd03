// One output's scene: a fullscreen toplevel on that output, drawn at its physical pixels,
// with a scene session of its own seeded as that output's index. Its host side keeps the
// picture in the program's memory and sends the touched tiles through SurfaceBuffers.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "core/mouse_watch.h"
#include "core/scene_session.h"
#include "core/tick_clock.h"
#include "wayland/surface_buffers.h"
#include "wayland/wayland_globals.h"
#include "wayland/wayland_outputs.h"

namespace wrigglet::wayland {

using Clock = std::chrono::steady_clock;

class OutputScene final : public SceneHost {
public:
    OutputScene(const SceneContext& context, const WaylandOutput& output, size_t index);
    ~OutputScene() override;
    OutputScene(const OutputScene&) = delete;
    OutputScene& operator=(const OutputScene&) = delete;

    // When the next tick may run: none while nothing animates, or while the last frame
    // waits for the compositor (a hidden output gets no frames, so it gets no ticks).
    std::optional<Clock::time_point> TickDue() const;
    void Tick();
    // The output's mode or place changed.
    void Follow();
    // Where the surface starts in the logical space.
    ScreenPoint Origin() const;
    wl_surface* Surface() const { return surface_; }

    MonitorList Monitors() override { return {{{0, 0, size_.Width, size_.Height}}, 0}; }
    SceneSize ClientSize() override { return size_; }
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>& rects) override;
    bool DesktopVisible() override;

    // The listeners' way in.
    void Configured(uint32_t serial);
    void ToplevelSize(int32_t width, int32_t height);
    void FrameDone();
    void BufferReleased();
    void Closed() { context_.Ending = true; }

private:
    void Open();
    void Commit();
    void ReportShown();

    const SceneContext& context_;
    const WaylandOutput& output_;
    size_t index_;
    wl_surface* surface_ = nullptr;
    xdg_surface* xdgSurface_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    wp_viewport* viewport_ = nullptr;
    wl_callback* frame_ = nullptr;  // the frame the compositor has yet to show
    SceneSize size_;                // the scene's: the output's physical pixels
    SceneSize logicalSize_;         // the surface's, from the toplevel's configure
    SurfaceBuffers buffers_;
    std::vector<uint32_t> picture_;
    std::vector<uint32_t> snapshot_;
    SceneSession session_;
    bool opened_ = false;
    TickClock ticks_;
    // The -ticks report: the last tick is shown once the frame that carries it is.
    bool reportAtCommit_ = false;
    bool reportAtFrame_ = false;
};

}  // namespace wrigglet::wayland
