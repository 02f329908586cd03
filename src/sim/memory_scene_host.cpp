// The simulator's in-memory scene host.
#include "sim/memory_scene_host.h"

#include <algorithm>

#include "core/monitor_layout.h"

namespace wrigglet::sim {

SceneSize MemorySceneHost::ClientSize() {
    const PixelRect screen = VirtualRect(monitors_);
    return {RectWidth(screen), RectHeight(screen)};
}

// The desktop covers the monitors' bounding rectangle; whatever of `area` lies beyond it
// is black, and the stretched preview's source is taken one to one.
bool MemorySceneHost::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
    const size_t width = static_cast<size_t>(RectWidth(area));
    snapshot_.assign(width * static_cast<size_t>(RectHeight(area)), 0);
    picture_.resize(snapshot_.size());
    if (source != SnapshotSource::Black) {
        const PixelRect screen = VirtualRect(monitors_);
        const PixelRect shown = ClipRect(area, screen);
        for (int32_t y = shown.Top; y < shown.Bottom; ++y)
            std::copy_n(desktop_.begin() + static_cast<ptrdiff_t>(y - screen.Top) * RectWidth(screen) +
                            (shown.Left - screen.Left),
                        RectWidth(shown),
                        snapshot_.begin() + static_cast<ptrdiff_t>(y - area.Top) * static_cast<ptrdiff_t>(width) +
                            (shown.Left - area.Left));
    }
    pictures = {snapshot_.data(), picture_.data()};
    return true;
}

// Gives the memory back, as the saver's host frees its bitmaps.
void MemorySceneHost::ReleasePictures() {
    std::vector<uint32_t>().swap(snapshot_);
    std::vector<uint32_t>().swap(picture_);
}

}  // namespace wrigglet::sim
