// The simulator's scene host: the saver window's platform side in memory, so the simulator
// drives the scenes through the same scene session as the saver.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scene_session.h"

namespace wrigglet::sim {

class MemorySceneHost final : public SceneHost {
public:
    // `monitors`: the primary first. `desktop` is what the screen shows over the monitors'
    // bounding rectangle, row by row (0x00RRGGBB).
    MemorySceneHost(std::vector<PixelRect> monitors, std::vector<uint32_t> desktop)
        : monitors_(std::move(monitors)), desktop_(std::move(desktop)) {}

    MonitorList Monitors() override { return {monitors_, 0}; }
    SceneSize ClientSize() override;
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>&) override {}

    const std::vector<uint32_t>& Picture() const { return picture_; }

private:
    std::vector<PixelRect> monitors_;
    std::vector<uint32_t> desktop_, snapshot_, picture_;
};

}  // namespace wrigglet::sim
