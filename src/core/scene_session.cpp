// The saver window's scenes: creation, ticks, repaints, a change of monitors, destruction.
#include "core/scene_session.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/monitor_layout.h"
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
    const size_t stride = static_cast<size_t>(frame.Stride);
    const size_t span = static_cast<size_t>(rect.Right - rect.Left) * sizeof(uint32_t);
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        const size_t start = static_cast<size_t>(y) * stride + static_cast<size_t>(rect.Left);
        std::memcpy(frame.Pixels + start, session.Snapshot + start, span);
    }
}

void FillBlack(uint32_t* pixels, int32_t stride, const PixelRect& rect) {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
        std::fill_n(pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(rect.Left),
                    rect.Right - rect.Left, 0u);
}

// A frame whose touched record could not be made draws nothing (the window's black or the
// picture shows there).
void DetachIfIncomplete(Frame& frame) {
    const FrameDamage& damage = frame.Damage;
    if (damage.Tiles.size() != static_cast<size_t>(damage.TilesAcross) * static_cast<size_t>(damage.TilesDown))
        AttachFrame(frame, 0, 0, nullptr, nullptr);
}

// The preview has one scene, the client area's; full screen has one per monitor.
std::vector<PixelRect> SceneMonitors(SceneHost& host, bool isPreview) {
    if (isPreview) {
        const SceneSize client = host.ClientSize();
        return {{0, 0, std::max(client.Width, 0), std::max(client.Height, 0)}};
    }
    std::vector<PixelRect> monitors = host.Monitors();
    if (monitors.empty()) {
        const SceneSize screen = host.ScreenSize();
        return {{0, 0, std::max(screen.Width, 0), std::max(screen.Height, 0)}};
    }
    return OrderMonitors(std::move(monitors), 0);
}

// The snapshot of the virtual rectangle (black without `fromScreen`, which needs no copy of
// the screen, and black where no monitor is) and the picture that starts as its copy.
void BuildPictures(SceneSession& session, SceneHost& host, const std::vector<PixelRect>& monitors, bool fromScreen) {
    const PixelRect box = VirtualRect(monitors);
    session.Screen = box;
    const int32_t width = std::max(box.Right - box.Left, 0);
    const int32_t height = std::max(box.Bottom - box.Top, 0);
    uint32_t* picture = nullptr;
    session.Snapshot = nullptr;
    if (width > 0 && height > 0 &&
        host.CaptureSnapshot(width, height, session.IsPreview, fromScreen, session.Snapshot, picture)) {
        const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
        if (!fromScreen) std::fill_n(session.Snapshot, pixels, 0u);
        for (const PixelRect& gap : UncoveredRects(monitors)) FillBlack(session.Snapshot, width, gap);
        std::copy_n(session.Snapshot, pixels, picture);
        AttachFrame(session.Picture, width, height, picture, session.Snapshot);
    } else {
        // No picture to draw on: the scenes still live, with nothing to show or move.
        session.Snapshot = nullptr;
        AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    }
}

void AttachView(MonitorScene& scene, const Frame& whole, const uint32_t* snapshot) {
    const PixelRect& a = scene.Area;
    const size_t offset = static_cast<size_t>(a.Top) * static_cast<size_t>(whole.Stride) + static_cast<size_t>(a.Left);
    AttachFrame(scene.View, a.Right - a.Left, a.Bottom - a.Top, whole.Pixels + offset, snapshot + offset, whole.Stride);
}

// One scene per monitor, in its part of the picture, its generator seeded now (scene i
// with the primary's seed plus its offset); the set-up comes later.
void SeedScenes(SceneSession& session, const std::vector<PixelRect>& monitors) {
    const std::vector<PixelRect> areas = MonitorAreas(monitors);
    const bool drawable = session.Picture.Width > 0;
    session.Scenes = std::vector<MonitorScene>(areas.size());
    for (size_t i = 0; i < areas.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        scene.Area = drawable ? areas[i] : PixelRect{};
        if (drawable) AttachView(scene, session.Picture, session.Snapshot);
        scene.Scene.Generator.TimeOfDay = [source = session.TimeOfDay, i] { return MonitorSeed(source(), i); };
        Randomize(scene.Scene.Generator);
    }
}

void OpenPictureAndScenes(SceneSession& session, SceneHost& host, bool fromScreen) {
    try {
        const std::vector<PixelRect> monitors = SceneMonitors(host, session.IsPreview);
        BuildPictures(session, host, monitors, fromScreen);
        SeedScenes(session, monitors);
    } catch (const std::bad_alloc&) {
        DetachIfIncomplete(session.Picture);
        for (MonitorScene& scene : session.Scenes) DetachIfIncomplete(scene.View);
    }
}

// When a scene's field, wrigglets or text can't be had, its part of the window keeps
// showing the picture (the snapshot, or black) with nothing moving: an empty scene over it.
void KeepStill(MonitorScene& scene, const SaverSettings& settings) {
    SceneSetup(scene.Scene, settings, 0, 0, nullptr, nullptr);
    DetachIfIncomplete(scene.View);
}

void FinishSetUp(SceneSession& session, SoundPlayer* sound) {
    session.SetUp.Due = false;
    for (size_t i = 0; i < session.Scenes.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        try {
            SceneSetup(scene.Scene, session.SetUp.Settings, scene.View.Width, scene.View.Height,
                       i == 0 ? sound : nullptr, session.SetUp.Text);
        } catch (const std::bad_alloc&) {
            KeepStill(scene, session.SetUp.Settings);
        }
    }
    session.SetUp.Text = nullptr;
}

void ReleaseScenes(SceneSession& session, SceneHost& host) {
    for (MonitorScene& scene : session.Scenes) ReleaseScene(scene.Scene);
    session.Scenes.clear();
    session.SetUp = {};
    AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    session.Snapshot = nullptr;
    host.ReleaseSnapshot();
}

PixelRect Offset(PixelRect r, const PixelRect& area) {
    return {r.Left + area.Left, r.Top + area.Top, r.Right + area.Left, r.Bottom + area.Top};
}

}  // namespace

void OpenScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, bool isPreview,
               SoundPlayer* sound, TextRasteriser* text, bool deferSetUp) {
    session.IsPreview = isPreview;
    OpenPictureAndScenes(session, host, settings.Desktop);
    session.SetUp = {true, settings, text};
    if (!deferSetUp) FinishSetUp(session, sound);
    session.Live = true;
    host.StartTimer(SceneTimerId, SceneTimerInterval(isPreview, settings.Speed));
}

void TickScene(SceneSession& session, SceneHost& host, SoundPlayer* sound) {
    if (!session.Live) return;
    if (session.SetUp.Due) FinishSetUp(session, sound);
    std::vector<PixelRect> rects;
    for (size_t i = 0; i < session.Scenes.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        FrameTick(scene.Scene, scene.View, i == 0 ? sound : nullptr);
        for (const PixelRect& r : TouchedTiles(scene.View)) rects.push_back(Offset(r, scene.Area));
        ResetTouched(scene.View);
    }
    if (!rects.empty()) host.Present(rects);
}

void RepaintScene(SceneSession& session, SceneHost& host, PixelRect update) {
    if (!session.Live || session.Picture.Width == 0) return;
    const PixelRect rect = ClipToFrame(session.Picture, update);
    if (rect.Left == rect.Right || rect.Top == rect.Bottom) return;
    CopySnapshotInto(session, rect);
    host.Present({rect});
}

void RelayoutScene(SceneSession& session, SceneHost& host, const SaverSettings& settings, TextRasteriser* text) {
    if (!session.Live || session.IsPreview) return;
    ReleaseScenes(session, host);
    OpenPictureAndScenes(session, host, false);
    session.SetUp = {true, settings, text};
    FinishSetUp(session, nullptr);
    if (session.Picture.Width > 0) host.Present({{0, 0, session.Picture.Width, session.Picture.Height}});
}

void CloseScene(SceneSession& session, SceneHost& host) {
    if (!session.Live) return;
    session.Live = false;
    host.StopTimer(SceneTimerId);
    ReleaseScenes(session, host);
}

}  // namespace wrigglet
