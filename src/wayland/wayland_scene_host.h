// The scene host over one output: the picture and the snapshot live in the program's memory,
// the snapshot starts as the output's desktop picture, and the touched tiles go on to the
// surface through its wl_shm buffers.
#pragma once

#include <wayland-client.h>

#include <functional>
#include <vector>

#include "core/scene_session.h"
#include "wayland/desktop_pictures.h"
#include "wayland/surface_buffers.h"
#include "wayland/wayland_outputs.h"

namespace wrigglet::wayland {

class WaylandSceneHost final : public SceneHost {
public:
    // `showable`: something new waits to be shown, or a buffer came back to show it in.
    WaylandSceneHost(wl_shm* shm, const DesktopPictures& desktop, const WaylandOutput& output,
                     std::function<void()> showable);

    // The scene's size: the output's physical pixels. A new size makes the buffers again.
    void Resize(SceneSize size);
    SceneSize Size() const { return size_; }
    // Something shown by the session has yet to reach the surface.
    bool HasDamage() const { return buffers_.HasDamage(); }
    // Attaches a buffer brought up to date with the picture to `surface` and damages what
    // changed; false while every buffer is the compositor's or there is no picture.
    bool Attach(wl_surface* surface);

    MonitorList Monitors() override { return {{{0, 0, size_.Width, size_.Height}}, 0}; }
    SceneSize ClientSize() override { return size_; }
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>& rects) override;
    bool DesktopVisible() override { return HasDesktop(desktop_, output_.Name); }

private:
    const DesktopPictures& desktop_;
    const WaylandOutput& output_;
    std::function<void()> showable_;
    SceneSize size_;
    SurfaceBuffers buffers_;
    std::vector<uint32_t> picture_;
    std::vector<uint32_t> snapshot_;
};

}  // namespace wrigglet::wayland
