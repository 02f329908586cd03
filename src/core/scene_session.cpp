// The scenes' life: opening, ticks, repaints, a new layout, closing.
#include "core/scene_session.h"

#include <algorithm>
#include <new>

#include "core/monitor_layout.h"
#include "core/scene_setup.h"
#include "core/wrigglet_step.h"

namespace wrigglet {

namespace {

// A frame whose touched record could not be made draws nothing (the window's black or the
// picture shows there).
void DetachIfIncomplete(Frame& frame) {
    const FrameDamage& damage = frame.Damage;
    if (damage.Tiles.size() != static_cast<size_t>(damage.TilesAcross) * static_cast<size_t>(damage.TilesDown))
        AttachFrame(frame, 0, 0, nullptr, nullptr);
}

// The preview has one scene, the client area's; full screen has one per monitor, the
// primary's first.
std::vector<PixelRect> SceneMonitors(const SceneSession& session) {
    if (session.Options.Preview) {
        const SceneSize client = session.Host->ClientSize();
        return {{0, 0, std::max(client.Width, 0), std::max(client.Height, 0)}};
    }
    MonitorList monitors = session.Host->Monitors();
    return OrderMonitors(std::move(monitors.Rects), monitors.Primary);
}

SnapshotSource StartingSource(const SceneSession& session) {
    if (!session.Options.Settings.Desktop || !session.Host->DesktopVisible()) return SnapshotSource::Black;
    return session.Options.Preview ? SnapshotSource::StretchedScreen : SnapshotSource::Screen;
}

// Copies `rect` of the snapshot into the picture (both rows of `stride`; no snapshot: black)
// row by row, asking for a stop before each row: a huge picture takes a good part of a
// second. False when stopped.
bool CopyRows(const SceneSession& session, const uint32_t* snapshot, uint32_t* picture, int32_t stride,
              const PixelRect& rect) {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        if (StopDue(session.Options.StopRequested)) return false;
        const size_t start = static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(rect.Left);
        if (snapshot) {
            std::copy_n(snapshot + start, RectWidth(rect), picture + start);
        } else {
            std::fill_n(picture + start, RectWidth(rect), 0u);
        }
    }
    return true;
}

// A snapshot buffer made ready to copy: a black one cleared row by row, as CopyRows copies,
// another black where no monitor is. False when stopped.
bool PrepareSnapshot(const SceneSession& session, uint32_t* snapshot, SnapshotSource source, const PixelRect& whole,
                     const std::vector<PixelRect>& monitors) {
    if (!snapshot) return true;
    if (source != SnapshotSource::Black) {
        for (const PixelRect& gap : UncoveredRects(monitors)) FillRect(snapshot, whole.Right, gap, 0);
        return true;
    }
    for (int32_t y = 0; y < whole.Bottom; ++y) {
        if (StopDue(session.Options.StopRequested)) return false;
        std::fill_n(snapshot + static_cast<size_t>(y) * static_cast<size_t>(whole.Right), whole.Right, 0u);
    }
    return true;
}

// The snapshot of the monitors' bounding rectangle (black where no monitor is) and the
// picture that starts as its copy; no pictures when a stop came first.
void BuildPictures(SceneSession& session, const std::vector<PixelRect>& monitors) {
    const PixelRect box = VirtualRect(monitors);
    const PixelRect whole{0, 0, std::max(RectWidth(box), 0), std::max(RectHeight(box), 0)};
    const SnapshotSource source = StartingSource(session);
    session.Screen = box;
    session.Snapshot = nullptr;
    AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    PicturePair pictures;
    if (IsEmptyRect(whole) || StopDue(session.Options.StopRequested) ||
        !session.Host->MakePictures(box, source, pictures))
        return;
    if (!PrepareSnapshot(session, pictures.Snapshot, source, whole, monitors) ||
        !CopyRows(session, pictures.Snapshot, pictures.Picture, whole.Right, whole)) {
        session.Host->ReleasePictures();
        return;
    }
    session.Snapshot = pictures.Snapshot;
    AttachFrame(session.Picture, whole.Right, whole.Bottom, pictures.Picture, pictures.Snapshot);
}

void AttachView(MonitorScene& scene, const Frame& whole, const uint32_t* snapshot) {
    const PixelRect& a = scene.Area;
    const size_t offset = static_cast<size_t>(a.Top) * static_cast<size_t>(whole.Stride) + static_cast<size_t>(a.Left);
    AttachFrame(scene.View, RectWidth(a), RectHeight(a), whole.Pixels + offset, snapshot ? snapshot + offset : nullptr,
                whole.Stride);
}

// One scene per monitor, in its part of the picture, its generator seeded now (scene i
// with the primary's seed plus its offset, counted from FirstSceneIndex); the set-up comes
// later.
void SeedScenes(SceneSession& session, const std::vector<PixelRect>& monitors) {
    const std::vector<PixelRect> areas = MonitorAreas(monitors);
    const bool drawable = session.Picture.Width > 0;
    const TimeOfDaySource source = session.Options.Seed ? FixedTimeOfDay(*session.Options.Seed) : SystemTimeOfDay;
    const size_t first = session.Options.FirstSceneIndex;
    session.Scenes = std::vector<MonitorScene>(areas.size());
    for (size_t i = 0; i < areas.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        scene.Area = drawable ? areas[i] : PixelRect{};
        if (drawable) AttachView(scene, session.Picture, session.Snapshot);
        scene.Scene.Generator.TimeOfDay = [source, index = first + i] { return MonitorSeed(source(), index); };
        Randomize(scene.Scene.Generator);
    }
}

void BuildPicturesAndScenes(SceneSession& session) {
    try {
        const std::vector<PixelRect> monitors = SceneMonitors(session);
        BuildPictures(session, monitors);
        SeedScenes(session, monitors);
    } catch (const std::bad_alloc&) {
        DetachIfIncomplete(session.Picture);
        for (MonitorScene& scene : session.Scenes) DetachIfIncomplete(scene.View);
    }
    session.SetUpDue = true;
    session.Ticks = 0;
}

// When a scene's field, wrigglets or text can't be had, its part of the window keeps
// showing the picture (the snapshot, or black) with nothing moving: an empty scene over it.
void KeepStill(MonitorScene& scene, const SaverSettings& settings) {
    SceneSetup(scene.Scene, settings, 0, 0, nullptr, nullptr);
    DetachIfIncomplete(scene.View);
}

// Only the first scene's sound draws reach `sound` (null: none play, the draws still happen).
// After a stop the scenes left are kept still without being set up.
void FinishSetUp(SceneSession& session, SoundPlayer* sound) {
    session.SetUpDue = false;
    const SaverSettings& settings = session.Options.Settings;
    bool stopped = false;
    for (size_t i = 0; i < session.Scenes.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        try {
            stopped = stopped || !SceneSetup(scene.Scene, settings, scene.View.Width, scene.View.Height,
                                             i == 0 ? sound : nullptr, session.Text, session.Options.StopRequested);
            if (stopped) KeepStill(scene, settings);
        } catch (const std::bad_alloc&) {
            KeepStill(scene, settings);
        }
    }
}

void ReleaseScenes(SceneSession& session) {
    for (MonitorScene& scene : session.Scenes) ReleaseScene(scene.Scene);
    session.Scenes.clear();
    session.SetUpDue = false;
    AttachFrame(session.Picture, 0, 0, nullptr, nullptr);
    session.Snapshot = nullptr;
    session.Host->ReleasePictures();
}

void Present(SceneSession& session, const std::vector<PixelRect>& rects) {
    session.Host->Present(rects);
    PresentCounts& counts = session.Presented;
    ++counts.Presents;
    counts.Rects += rects.size();
    for (const PixelRect& r : rects) counts.Pixels += RectPixels(r);
}

bool TickLimitReached(const SceneSession& session) {
    return session.Options.TickLimit && session.Ticks >= *session.Options.TickLimit;
}

}  // namespace

uint32_t OpenScene(SceneSession& session, const SceneParts& parts, const SceneOptions& options) {
    session.Host = &parts.Host;
    session.Sound = parts.Sound;
    session.Text = parts.Text;
    session.Options = options;
    session.Interval = options.Interval ? std::max(*options.Interval, 1u)
                                        : SceneTimerInterval(options.Preview, options.Settings.Speed);
    BuildPicturesAndScenes(session);
    if (!options.SetUpAtFirstTick) FinishSetUp(session, session.Sound);
    session.Live = true;
    return TickLimitReached(session) ? 0 : session.Interval;
}

uint32_t TickScene(SceneSession& session) {
    if (!session.Live || TickLimitReached(session)) return 0;
    if (session.SetUpDue) FinishSetUp(session, session.Sound);
    std::vector<PixelRect> rects;
    for (size_t i = 0; i < session.Scenes.size(); ++i) {
        MonitorScene& scene = session.Scenes[i];
        FrameTick(scene.Scene, scene.View, i == 0 ? session.Sound : nullptr);
        for (const PixelRect& r : TouchedTiles(scene.View))
            rects.push_back(OffsetRect(r, scene.Area.Left, scene.Area.Top));
        ResetTouched(scene.View);
    }
    ++session.Ticks;
    if (!rects.empty()) Present(session, rects);
    return TickLimitReached(session) ? 0 : session.Interval;
}

void RepaintScene(SceneSession& session, PixelRect update) {
    if (!session.Live || session.Picture.Width == 0) return;
    const Frame& picture = session.Picture;
    const PixelRect rect = ClipRect(update, {0, 0, picture.Width, picture.Height});
    if (IsEmptyRect(rect) || !CopyRows(session, session.Snapshot, picture.Pixels, picture.Stride, rect)) return;
    Present(session, {rect});
}

uint32_t RelayoutScene(SceneSession& session) {
    if (!session.Live) return 0;
    if (!session.Options.Preview) {
        ReleaseScenes(session);
        BuildPicturesAndScenes(session);
        FinishSetUp(session, nullptr);
        if (session.Picture.Width > 0) Present(session, {{0, 0, session.Picture.Width, session.Picture.Height}});
    }
    return TickLimitReached(session) ? 0 : session.Interval;
}

void CloseScene(SceneSession& session) {
    if (!session.Live) return;
    session.Live = false;
    ReleaseScenes(session);
}

}  // namespace wrigglet
