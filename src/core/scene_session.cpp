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
std::vector<PixelRect> SceneMonitors(const SceneSessionState& state) {
    if (state.Options.Preview) {
        const SceneSize client = state.Host->ClientSize();
        return {{0, 0, std::max(client.Width, 0), std::max(client.Height, 0)}};
    }
    MonitorList monitors = state.Host->Monitors();
    return OrderMonitors(std::move(monitors.Rects), monitors.Primary);
}

SnapshotSource StartingSource(const SceneSessionState& state) {
    if (!state.Options.Settings.Desktop || !state.Host->DesktopVisible()) return SnapshotSource::Black;
    return state.Options.Preview ? SnapshotSource::StretchedScreen : SnapshotSource::Screen;
}

// Copies `rect` of the snapshot into the picture (both rows of `stride`; no snapshot: black)
// row by row, asking for a stop before each row: a huge picture takes a good part of a
// second. False when stopped.
bool CopyRows(const SceneSessionState& state, const uint32_t* snapshot, uint32_t* picture, int32_t stride,
              const PixelRect& rect) {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        if (StopDue(state.Options.StopRequested)) return false;
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
bool PrepareSnapshot(const SceneSessionState& state, uint32_t* snapshot, SnapshotSource source, const PixelRect& whole,
                     const std::vector<PixelRect>& monitors) {
    if (!snapshot) return true;
    if (source != SnapshotSource::Black) {
        for (const PixelRect& gap : UncoveredRects(monitors)) FillRect(snapshot, whole.Right, gap, 0);
        return true;
    }
    for (int32_t y = 0; y < whole.Bottom; ++y) {
        if (StopDue(state.Options.StopRequested)) return false;
        std::fill_n(snapshot + static_cast<size_t>(y) * static_cast<size_t>(whole.Right), whole.Right, 0u);
    }
    return true;
}

// The snapshot of the monitors' bounding rectangle (black where no monitor is) and the
// picture that starts as its copy; no pictures when a stop came first.
void BuildPictures(SceneSessionState& state, const std::vector<PixelRect>& monitors) {
    const PixelRect box = VirtualRect(monitors);
    const PixelRect whole{0, 0, std::max(RectWidth(box), 0), std::max(RectHeight(box), 0)};
    const SnapshotSource source = StartingSource(state);
    state.Screen = box;
    state.Snapshot = nullptr;
    AttachFrame(state.Picture, 0, 0, nullptr, nullptr);
    PicturePair pictures;
    if (IsEmptyRect(whole) || StopDue(state.Options.StopRequested) || !state.Host->MakePictures(box, source, pictures))
        return;
    if (!PrepareSnapshot(state, pictures.Snapshot, source, whole, monitors) ||
        !CopyRows(state, pictures.Snapshot, pictures.Picture, whole.Right, whole)) {
        state.Host->ReleasePictures();
        return;
    }
    state.Snapshot = pictures.Snapshot;
    AttachFrame(state.Picture, whole.Right, whole.Bottom, pictures.Picture, pictures.Snapshot);
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
void SeedScenes(SceneSessionState& state, const std::vector<PixelRect>& monitors) {
    const std::vector<PixelRect> areas = MonitorAreas(monitors);
    const bool drawable = state.Picture.Width > 0;
    const TimeOfDaySource source = state.Options.Seed ? FixedTimeOfDay(*state.Options.Seed) : SystemTimeOfDay;
    const size_t first = state.Options.FirstSceneIndex;
    state.Scenes = std::vector<MonitorScene>(areas.size());
    for (size_t i = 0; i < areas.size(); ++i) {
        MonitorScene& scene = state.Scenes[i];
        scene.Area = drawable ? areas[i] : PixelRect{};
        if (drawable) AttachView(scene, state.Picture, state.Snapshot);
        scene.Scene.Generator.TimeOfDay = [source, index = first + i] { return MonitorSeed(source(), index); };
        Randomize(scene.Scene.Generator);
    }
}

void BuildPicturesAndScenes(SceneSessionState& state) {
    try {
        const std::vector<PixelRect> monitors = SceneMonitors(state);
        BuildPictures(state, monitors);
        SeedScenes(state, monitors);
    } catch (const std::bad_alloc&) {
        DetachIfIncomplete(state.Picture);
        for (MonitorScene& scene : state.Scenes) DetachIfIncomplete(scene.View);
    }
    state.SetUpDue = true;
    state.Ticks = 0;
}

// When a scene's field, wrigglets or text can't be had, its part of the window keeps
// showing the picture (the snapshot, or black) with nothing moving: an empty scene over it.
void KeepStill(MonitorScene& scene, const SaverSettings& settings) {
    SceneSetup(scene.Scene, settings, 0, 0, nullptr, nullptr);
    DetachIfIncomplete(scene.View);
}

// Only the first scene's sound draws reach `sound` (null: none play, the draws still happen).
// After a stop the scenes left are kept still without being set up.
void FinishSetUp(SceneSessionState& state, SoundPlayer* sound) {
    state.SetUpDue = false;
    const SaverSettings& settings = state.Options.Settings;
    bool stopped = false;
    for (size_t i = 0; i < state.Scenes.size(); ++i) {
        MonitorScene& scene = state.Scenes[i];
        try {
            stopped = stopped || !SceneSetup(scene.Scene, settings, scene.View.Width, scene.View.Height,
                                             i == 0 ? sound : nullptr, state.Text, state.Options.StopRequested);
            if (stopped) KeepStill(scene, settings);
        } catch (const std::bad_alloc&) {
            KeepStill(scene, settings);
        }
    }
}

void ReleaseScenes(SceneSessionState& state) {
    for (MonitorScene& scene : state.Scenes) ReleaseScene(scene.Scene);
    state.Scenes.clear();
    state.SetUpDue = false;
    AttachFrame(state.Picture, 0, 0, nullptr, nullptr);
    state.Snapshot = nullptr;
    state.Host->ReleasePictures();
}

void Present(SceneSessionState& state, const std::vector<PixelRect>& rects) {
    state.Host->Present(rects);
    PresentCounts& counts = state.Presented;
    ++counts.Presents;
    counts.Rects += rects.size();
    for (const PixelRect& r : rects) counts.Pixels += RectPixels(r);
}

bool TickLimitReached(const SceneSessionState& state) {
    return state.Options.TickLimit && state.Ticks >= *state.Options.TickLimit;
}

}  // namespace

PixelRect SceneSession::PrimaryRect() const {
    if (state_.Scenes.empty()) return state_.Screen;
    return OffsetRect(state_.Scenes.front().Area, state_.Screen.Left, state_.Screen.Top);
}

uint32_t OpenScene(SceneSession& session, const SceneParts& parts, const SceneOptions& options) {
    SceneSessionState& state = session.state_;
    state.Host = &parts.Host;
    state.Sound = parts.Sound;
    state.Text = parts.Text;
    state.Options = options;
    state.Interval = options.Interval ? std::max(*options.Interval, 1u)
                                      : SceneTimerInterval(options.Preview, options.Settings.Speed);
    BuildPicturesAndScenes(state);
    if (!options.SetUpAtFirstTick) FinishSetUp(state, state.Sound);
    state.Live = true;
    if (options.ShowAtOpening) RepaintScene(session, {0, 0, state.Picture.Width, state.Picture.Height});
    return TickLimitReached(state) ? 0 : state.Interval;
}

uint32_t TickScene(SceneSession& session) {
    SceneSessionState& state = session.state_;
    if (!state.Live || TickLimitReached(state)) return 0;
    if (state.SetUpDue) FinishSetUp(state, state.Sound);
    std::vector<PixelRect> rects;
    for (size_t i = 0; i < state.Scenes.size(); ++i) {
        MonitorScene& scene = state.Scenes[i];
        FrameTick(scene.Scene, scene.View, i == 0 ? state.Sound : nullptr);
        for (const PixelRect& r : TouchedTiles(scene.View))
            rects.push_back(OffsetRect(r, scene.Area.Left, scene.Area.Top));
        ResetTouched(scene.View);
    }
    ++state.Ticks;
    if (!rects.empty()) Present(state, rects);
    return TickLimitReached(state) ? 0 : state.Interval;
}

void RepaintScene(SceneSession& session, PixelRect update) {
    SceneSessionState& state = session.state_;
    if (!state.Live || state.Picture.Width == 0) return;
    const Frame& picture = state.Picture;
    const PixelRect rect = ClipRect(update, {0, 0, picture.Width, picture.Height});
    if (IsEmptyRect(rect) || !CopyRows(state, state.Snapshot, picture.Pixels, picture.Stride, rect)) return;
    Present(state, {rect});
}

uint32_t RelayoutScene(SceneSession& session) {
    SceneSessionState& state = session.state_;
    if (!state.Live) return 0;
    if (!state.Options.Preview) {
        ReleaseScenes(state);
        BuildPicturesAndScenes(state);
        FinishSetUp(state, nullptr);
        if (state.Picture.Width > 0) Present(state, {{0, 0, state.Picture.Width, state.Picture.Height}});
    }
    return TickLimitReached(state) ? 0 : state.Interval;
}

void CloseScene(SceneSession& session) {
    SceneSessionState& state = session.state_;
    if (!state.Live) return;
    state.Live = false;
    ReleaseScenes(state);
}

}  // namespace wrigglet
