// The scene window's life: creation, ticks, repaints and destruction.
#include "core/scene_session.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/scene_setup.h"
#include "core/wrigglet_step.h"

namespace wrigglet {

namespace {

PixelRect ClipToFrame(const Frame& frame, PixelRect rect) {
    rect.Left = std::clamp(rect.Left, 0, frame.Width);
    rect.Right = std::clamp(rect.Right, rect.Left, frame.Width);
    rect.Top = std::clamp(rect.Top, 0, frame.Height);
    rect.Bottom = std::clamp(rect.Bottom, rect.Top, frame.Height);
    return rect;
}

void CopySnapshotInto(SceneSession& session, const PixelRect& rect) {
    const Frame& frame = session.Picture;
    const size_t width = static_cast<size_t>(frame.Width);
    const size_t span = static_cast<size_t>(rect.Right - rect.Left) * sizeof(uint32_t);
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        const size_t start = static_cast<size_t>(y) * width + static_cast<size_t>(rect.Left);
        std::memcpy(frame.Pixels + start, session.Snapshot + start, span);
    }
}

// When the field, the wrigglets or the text can't be had, the window keeps showing its
// picture (the snapshot, or black) with nothing moving: an empty scene over it.
void KeepStill(SceneSession& session, const SaverSettings& settings) {
    SceneSetup(session.Scene, settings, 0, 0, nullptr, nullptr);
    const FrameDamage& damage = session.Picture.Damage;
    if (damage.Tiles.size() != static_cast<size_t>(damage.TilesAcross) * static_cast<size_t>(damage.TilesDown))
        AttachFrame(session.Picture, 0, 0, nullptr, nullptr);  // no touch record: the window's black shows
}

}  // namespace

namespace {

// The snapshot (black without Desktop, which needs no copy of the screen) and the picture
// that starts as its copy.
void OpenPicture(SceneSession& session, SceneHost& host, const SaverSettings& settings, int32_t width, int32_t height) {
    uint32_t* picture = nullptr;
    session.Snapshot = nullptr;
    if (width > 0 && height > 0 &&
        host.CaptureSnapshot(width, height, session.IsPreview, settings.Desktop, session.Snapshot, picture)) {
        const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
        if (!settings.Desktop) std::fill_n(session.Snapshot, pixels, 0u);
        std::copy_n(session.Snapshot, pixels, picture);
        AttachFrame(session.Picture, width, height, picture, session.Snapshot);
    } else {
        // No picture to draw on: the scene still lives, with nothing to show or move.
        session.Snapshot = nullptr;
        AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    }
}

void FinishSetUp(SceneSession& session, SoundPlayer* sound) {
    session.SetUp.Due = false;
    const bool drawable = session.Picture.Width > 0;
    try {
        SceneSetup(session.Scene, session.SetUp.Settings, drawable ? session.Picture.Width : 0,
                   drawable ? session.Picture.Height : 0, sound, session.SetUp.Text);
    } catch (const std::bad_alloc&) {
        KeepStill(session, session.SetUp.Settings);
    }
    session.SetUp.Text = nullptr;
}

}  // namespace

void OpenScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, bool isPreview,
               SoundPlayer* sound, TextRasteriser* text, bool deferSetUp) {
    session.IsPreview = isPreview;
    const SceneSize screen = host.ScreenSize();
    const SceneSize size = isPreview ? host.ClientSize() : screen;
    try {
        OpenPicture(session, host, settings, std::max(size.Width, 0), std::max(size.Height, 0));
    } catch (const std::bad_alloc&) {
        KeepStill(session, settings);
    }
    Randomize(session.Scene.Generator);
    session.SetUp = {true, settings, text};
    if (!deferSetUp) FinishSetUp(session, sound);
    session.Live = true;
    host.StartTimer(SceneTimerId, SceneTimerInterval(isPreview, settings.Speed));
}

void TickScene(SceneSession& session, SceneHost& host, SoundPlayer* sound) {
    if (!session.Live) return;
    if (session.SetUp.Due) FinishSetUp(session, sound);
    FrameTick(session.Scene, session.Picture, sound);
    const std::vector<PixelRect> rects = TouchedRects(session.Picture, MaxPresentRects);
    if (!rects.empty()) host.Present(rects);
    ResetTouched(session.Picture);
}

void RepaintScene(SceneSession& session, SceneHost& host, PixelRect update) {
    if (!session.Live || session.Picture.Width == 0) return;
    const PixelRect rect = ClipToFrame(session.Picture, update);
    if (rect.Left == rect.Right || rect.Top == rect.Bottom) return;
    CopySnapshotInto(session, rect);
    host.Present({rect});
}

void CloseScene(SceneSession& session, SceneHost& host) {
    if (!session.Live) return;
    session.Live = false;
    session.SetUp = {};
    host.StopTimer(SceneTimerId);
    ReleaseScene(session.Scene);
    AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    session.Snapshot = nullptr;
    host.ReleaseSnapshot();
}

}  // namespace wrigglet
