// The simulator's scene host: the saver window's platform side in memory, so the simulator
// drives the scenes through the same scene session as the saver.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scene_session.h"

namespace wrigglet::sim {

class MemorySceneHost final : public SceneHost {
public:
    // `desktop` is what the screen shows, virtual width x height pixels (0x00RRGGBB).
    MemorySceneHost(std::vector<PixelRect> monitors, int32_t width, int32_t height, std::vector<uint32_t> desktop)
        : monitors_(std::move(monitors)), width_(width), height_(height), desktop_(std::move(desktop)) {}

    SceneSize ScreenSize() override;
    SceneSize ClientSize() override { return {width_, height_}; }
    std::vector<PixelRect> Monitors() override { return monitors_; }
    bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                         uint32_t*& picture) override;
    void ReleaseSnapshot() override;
    void StartTimer(uint32_t, uint32_t) override {}
    void StopTimer(uint32_t) override {}
    void Present(const std::vector<PixelRect>& rects) override;

    const std::vector<uint32_t>& Picture() const { return picture_; }
    // What the presents sent, for the simulator's statistics.
    uint64_t Presents = 0;
    uint64_t PresentedRects = 0;
    uint64_t PresentedPixels = 0;

private:
    std::vector<PixelRect> monitors_;
    int32_t width_, height_;
    std::vector<uint32_t> desktop_, snapshot_, picture_;
};

}  // namespace wrigglet::sim
