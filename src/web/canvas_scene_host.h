// The page's scene host: one scene the size of the canvas. The snapshot and the picture live
// in this module's memory; the canvas shows the picture through an RGBA copy of it, which
// each present brings up to date in the rectangles it shows.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scene_session.h"

namespace wrigglet::web {

class CanvasSceneHost final : public SceneHost {
public:
    // The canvas's size in device pixels; the next pictures are made for it.
    void Resize(int32_t width, int32_t height);

    MonitorList Monitors() override { return {{{0, 0, width_, height_}}, 0}; }
    SceneSize ClientSize() override { return {width_, height_}; }
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override;
    void ReleasePictures() override;
    void Present(const std::vector<PixelRect>& rects) override;

private:
    void CopyToShown(const PixelRect& rect);

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t pictureWidth_ = 0;
    std::vector<uint32_t> snapshot_, picture_;
    std::vector<uint32_t> shown_;  // the picture as the canvas takes it: R, G, B, A bytes
};

}  // namespace wrigglet::web
