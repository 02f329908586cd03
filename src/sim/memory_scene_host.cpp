// The simulator's in-memory scene host.
#include "sim/memory_scene_host.h"

#include <algorithm>

namespace wrigglet::sim {

SceneSize MemorySceneHost::ScreenSize() {
    if (monitors_.empty()) return {width_, height_};
    const PixelRect& primary = monitors_.front();
    return {primary.Right - primary.Left, primary.Bottom - primary.Top};
}

// The simulator's screen is exactly the virtual screen, so only a capture of that size is
// one to one; any other gets the top-left part and black beyond the desktop.
bool MemorySceneHost::CaptureSnapshot(int32_t width, int32_t height, bool, bool fromScreen, uint32_t*& snapshot,
                                      uint32_t*& picture) {
    if (!fromScreen) {
        snapshot_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    } else if (width == width_ && height == height_) {
        snapshot_ = desktop_;
    } else {
        snapshot_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        for (int32_t y = 0; y < std::min(height, height_); ++y)
            std::copy_n(desktop_.begin() + static_cast<ptrdiff_t>(y) * width_, std::min(width, width_),
                        snapshot_.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    picture_.resize(snapshot_.size());
    snapshot = snapshot_.data();
    picture = picture_.data();
    return true;
}

// Gives the memory back, as the saver's host frees its bitmaps.
void MemorySceneHost::ReleaseSnapshot() {
    std::vector<uint32_t>().swap(snapshot_);
    std::vector<uint32_t>().swap(picture_);
}

void MemorySceneHost::Present(const std::vector<PixelRect>& rects) {
    ++Presents;
    PresentedRects += rects.size();
    for (const PixelRect& r : rects)
        PresentedPixels += static_cast<uint64_t>(r.Right - r.Left) * static_cast<uint64_t>(r.Bottom - r.Top);
}

}  // namespace wrigglet::sim
