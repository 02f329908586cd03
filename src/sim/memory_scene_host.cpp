// The simulator's in-memory scene host.
#include "sim/memory_scene_host.h"

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
        CopyAreaOrBlack({desktop_.data(), RectWidth(screen), RectHeight(screen)},
                        OffsetRect(area, -screen.Left, -screen.Top), snapshot_.data());
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
