// The canvas host: pictures in memory, presents as puts of the RGBA copy.
#include "web/canvas_scene_host.h"

#include <algorithm>

#include "web/page_imports.h"

namespace wrigglet::web {

namespace {

// 0x00RRGGBB and the R, G, B, A bytes of a little-endian word differ by red and blue.
constexpr uint32_t SwapRedBlue(uint32_t pixel) {
    return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

constexpr uint32_t OpaqueAlpha = 0xFF000000u;

}  // namespace

void CanvasSceneHost::Resize(int32_t width, int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

// The desktop picture arrives as RGBA bytes straight into the snapshot, which then takes
// the picture's pixel layout in place.
bool CanvasSceneHost::MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) {
    ReleasePictures();
    const int32_t width = RectWidth(area), height = RectHeight(area);
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    snapshot_.resize(pixels);
    picture_.resize(pixels);
    shown_.resize(pixels);
    pictureWidth_ = width;
    if (source != SnapshotSource::Black) {
        DrawDesktopPicture(reinterpret_cast<uint8_t*>(snapshot_.data()), width, height);
        for (uint32_t& pixel : snapshot_) pixel = SwapRedBlue(pixel);
    }
    ShowPictureBuffer(reinterpret_cast<const uint8_t*>(shown_.data()), width, height);
    pictures = {snapshot_.data(), picture_.data()};
    return true;
}

void CanvasSceneHost::ReleasePictures() {
    ShowPictureBuffer(nullptr, 0, 0);
    std::vector<uint32_t>().swap(snapshot_);
    std::vector<uint32_t>().swap(picture_);
    std::vector<uint32_t>().swap(shown_);
    pictureWidth_ = 0;
}

void CanvasSceneHost::CopyToShown(const PixelRect& rect) {
    const size_t stride = static_cast<size_t>(pictureWidth_);
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        const size_t start = static_cast<size_t>(y) * stride + static_cast<size_t>(rect.Left);
        const uint32_t* from = picture_.data() + start;
        std::transform(from, from + RectWidth(rect), shown_.data() + start,
                       [](uint32_t pixel) { return SwapRedBlue(pixel) | OpaqueAlpha; });
    }
}

// Each touched tile run is put on its own: a put costs the browser by its area, and bands
// holding the runs cost more than the calls they save. Every changed pixel of the picture
// is in one of the rectangles, so the RGBA copy is the whole picture at all times.
void CanvasSceneHost::Present(const std::vector<PixelRect>& rects) {
    if (shown_.empty()) return;
    for (const PixelRect& r : rects) {
        CopyToShown(r);
        PutPictureRect(r.Left, r.Top, RectWidth(r), RectHeight(r));
    }
}

}  // namespace wrigglet::web
