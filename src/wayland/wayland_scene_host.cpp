// The output's pictures and their way to the surface.
#include "wayland/wayland_scene_host.h"

namespace wrigglet::wayland {

WaylandSceneHost::WaylandSceneHost(wl_shm* shm, const DesktopPictures& desktop, const WaylandOutput& output,
                                   std::function<void()> showable)
    : desktop_(desktop), output_(output), showable_(std::move(showable)), buffers_(shm, showable_) {}

void WaylandSceneHost::Resize(SceneSize size) {
    size_ = size;
    buffers_.Resize(size.Width, size.Height);
}

bool WaylandSceneHost::Attach(wl_surface* surface) {
    return !picture_.empty() && buffers_.Attach(surface, picture_.data());
}

bool WaylandSceneHost::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
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
    FillDesktop(desktop_, output_.Name, width, height, snapshot_.data());
    pictures = {snapshot_.data(), picture_.data()};
    return true;
}

void WaylandSceneHost::ReleasePictures() {
    snapshot_ = {};
    picture_ = {};
}

void WaylandSceneHost::Present(const std::vector<PixelRect>& rects) {
    buffers_.Damage(rects);
    showable_();
}

}  // namespace wrigglet::wayland
