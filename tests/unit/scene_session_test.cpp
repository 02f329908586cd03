// The scene window's life against a recording host: order of the platform work, the
// timer, what each tick sends to the window, repaints, several monitors, a change of
// layout, and release.
#include "core/scene_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/monitor_layout.h"
#include "scene_fixtures.h"

namespace wrigglet {
namespace {

// A host in memory that remembers what it was asked for.
struct RecordingHost : SceneHost {
    SceneSize Client{152, 112};
    MonitorList Screens{{{0, 0, 320, 200}}, 0};
    bool CanCapture = true;
    bool Visible = true;
    bool BlackWithoutSnapshot = false;  // leaves a Black snapshot null, as the GDI host does
    std::vector<uint32_t> Snapshot, Picture;
    std::vector<std::vector<PixelRect>> Presented;
    std::vector<std::pair<PixelRect, SnapshotSource>> Made;
    int Releases = 0;

    MonitorList Monitors() override { return Screens; }
    SceneSize ClientSize() override { return Client; }
    bool MakePictures(const PixelRect& area, SnapshotSource source, PicturePair& pictures) override {
        Made.emplace_back(area, source);
        if (!CanCapture) return false;
        // What the buffers hold before any copy: a black snapshot must not show it.
        Snapshot.resize(static_cast<size_t>(RectWidth(area)) * RectHeight(area));
        for (size_t i = 0; i < Snapshot.size(); ++i) Snapshot[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        Picture.assign(Snapshot.size(), 0x123456u);
        pictures = {Snapshot.data(), Picture.data()};
        if (BlackWithoutSnapshot && source == SnapshotSource::Black) {
            std::vector<uint32_t>().swap(Snapshot);
            pictures.Snapshot = nullptr;
        }
        return true;
    }
    // Really frees the buffers, so a session still using them shows under AddressSanitizer.
    void ReleasePictures() override {
        ++Releases;
        std::vector<uint32_t>().swap(Snapshot);
        std::vector<uint32_t>().swap(Picture);
    }
    void Present(const std::vector<PixelRect>& rects) override { Presented.push_back(rects); }
    bool DesktopVisible() override { return Visible; }
};

using fixtures::RecordingSound;

SceneOptions Options(const SaverSettings& settings, bool preview = false, uint32_t seed = 7) {
    SceneOptions options;
    options.Settings = settings;
    options.Preview = preview;
    options.Seed = seed;
    return options;
}

uint32_t Open(SceneSession& session, RecordingHost& host, const SaverSettings& settings, bool preview,
              SoundPlayer* sound = nullptr, uint32_t seed = 7) {
    return OpenScene(session, SceneParts(host, sound), Options(settings, preview, seed));
}

bool AllBlack(const std::vector<uint32_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p == 0; });
}

TEST(SceneSession, OpeningTakesTheSnapshotTheModeAsks) {
    struct Case {
        bool Preview, Desktop;
        PixelRect Area;
        SnapshotSource Source;
    };
    for (const Case c : {Case{false, true, {0, 0, 320, 200}, SnapshotSource::Screen},
                         Case{false, false, {0, 0, 320, 200}, SnapshotSource::Black},
                         Case{true, true, {0, 0, 152, 112}, SnapshotSource::StretchedScreen},
                         Case{true, false, {0, 0, 152, 112}, SnapshotSource::Black}}) {
        SCOPED_TRACE(::testing::Message() << "preview " << c.Preview << " desktop " << c.Desktop);
        RecordingHost host;
        RecordingSound sound;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(2, 2, true, c.Desktop), c.Preview, &sound);
        ASSERT_EQ(host.Made.size(), 1u);
        EXPECT_EQ(host.Made[0].first, c.Area);
        EXPECT_EQ(host.Made[0].second, c.Source);
        EXPECT_EQ(host.Picture, host.Snapshot) << "the picture starts as the snapshot";
        EXPECT_EQ(AllBlack(host.Snapshot), !c.Desktop);
        EXPECT_EQ(sound.Played.size(), 1u) << "the set-up started the sound";
        EXPECT_GT(session.Scenes().at(0).Scene.ActiveCount, 0);
    }
}

// The mode's and speed's interval, unless the front end gives its own (0 counts as 1, since
// an answer of 0 means no more ticks).
TEST(SceneSession, TicksComeAtTheModesAndSpeedsIntervalOrTheOneGiven) {
    struct Case {
        bool Preview;
        int32_t Speed;
        std::optional<uint32_t> Given;
        uint32_t Interval;
    };
    for (const Case c : {Case{false, 1, {}, 80}, Case{false, 2, {}, 40}, Case{false, 3, {}, 40}, Case{false, 0, {}, 40},
                         Case{false, 7, {}, 40}, Case{true, 1, {}, 70}, Case{true, 3, {}, 70}, Case{false, 1, 100, 100},
                         Case{false, 3, 20, 20}, Case{false, 2, 0, 1}}) {
        RecordingHost host;
        SceneSession session;
        SceneOptions options = Options(fixtures::MakeSettings(1, c.Speed));
        options.Preview = c.Preview;
        options.Interval = c.Given;
        EXPECT_EQ(OpenScene(session, SceneParts(host), options), c.Interval)
            << "preview " << c.Preview << " speed " << c.Speed << " given " << c.Given.value_or(-1);
        EXPECT_EQ(TickScene(session), c.Interval);
        EXPECT_EQ(session.Interval(), c.Interval);
    }
}

// A stop during the opening leaves no picture; one during the deferred set-up leaves the
// picture still, with nothing moving; the ticks go on either way.
TEST(SceneSession, AStopRequestLeavesTheScenesStill) {
    for (const bool stopAtOpening : {true, false}) {
        SCOPED_TRACE(stopAtOpening);
        RecordingHost host;
        SceneSession session;
        SceneOptions options = Options(fixtures::MakeSettings(3, 3));
        options.SetUpAtFirstTick = true;
        bool stop = stopAtOpening;
        options.StopRequested = [&stop] { return stop; };
        EXPECT_EQ(OpenScene(session, SceneParts(host), options), 40u);
        stop = true;
        EXPECT_EQ(session.Picture().Width, stopAtOpening ? 0 : 320);
        for (int tick = 0; tick < 10; ++tick) EXPECT_EQ(TickScene(session), 40u);
        EXPECT_EQ(session.Scenes().at(0).Scene.ActiveCount, 0);
        EXPECT_TRUE(host.Presented.empty()) << "nothing moves";
        CloseScene(session);
    }
}

// After the limit no tick changes the picture and none is asked for; a new layout builds
// new scenes, which get the limit again.
TEST(SceneSession, TheTickLimitFreezesTheFrameUntilANewLayout) {
    RecordingHost host;
    SceneSession session;
    SceneOptions options = Options(fixtures::MakeSettings(3, 3));
    options.TickLimit = 3;
    OpenScene(session, SceneParts(host), options);
    EXPECT_EQ(TickScene(session), 40u);
    EXPECT_EQ(TickScene(session), 40u);
    EXPECT_EQ(TickScene(session), 0u) << "the last tick asks for no other";
    const std::vector<uint32_t> frozen = host.Picture;
    const size_t presents = host.Presented.size();
    EXPECT_EQ(TickScene(session), 0u);
    EXPECT_EQ(host.Picture, frozen);
    EXPECT_EQ(host.Presented.size(), presents);
    EXPECT_EQ(RelayoutScene(session), 40u);
    EXPECT_EQ(TickScene(session), 40u);
    options.TickLimit = 0;
    SceneSession still;
    EXPECT_EQ(OpenScene(still, SceneParts(host), options), 0u) << "a limit of 0 never ticks";
}

// Each tick sends exactly its touched tiles: whole tiles that cover every changed pixel,
// never overlapping, and (once the wrigglets have spread) far less than the rectangle
// around the changes, which a present of a few rectangles or bands would send.
TEST(SceneSession, EachTickSendsOnlyItsTouchedTilesCoveringEveryChange) {
    RecordingHost host;
    host.Screens = {{{0, 0, 1920, 1080}}, 0};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    for (int tick = 0; tick < 400; ++tick) TickScene(session);
    std::vector<uint32_t> before = host.Picture;
    int64_t sent = 0, around = 0;
    for (int tick = 0; tick < 20; ++tick) {
        host.Presented.clear();
        TickScene(session);
        ASSERT_EQ(host.Presented.size(), 1u);
        std::vector<uint8_t> cover(before.size(), 0);
        for (const PixelRect& r : host.Presented[0]) {
            ASSERT_TRUE(r.Left % DamageTileSize == 0 && r.Top % DamageTileSize == 0) << "whole tiles";
            sent += int64_t{r.Right - r.Left} * (r.Bottom - r.Top);
            for (int32_t y = r.Top; y < r.Bottom; ++y)
                for (int32_t x = r.Left; x < r.Right; ++x) ASSERT_EQ(cover[y * 1920 + x]++, 0) << "overlap";
        }
        PixelRect box{1920, 1080, 0, 0};
        for (size_t i = 0; i < before.size(); ++i) {
            if (before[i] == host.Picture[i]) continue;
            const int32_t x = static_cast<int32_t>(i % 1920), y = static_cast<int32_t>(i / 1920);
            ASSERT_TRUE(cover[i]) << "pixel " << x << "," << y << " changed at tick " << tick << " but was not sent";
            box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                   std::max(box.Bottom, y + 1)};
        }
        around += int64_t{std::max(box.Right - box.Left, 0)} * std::max(box.Bottom - box.Top, 0);
        before = host.Picture;
    }
    EXPECT_LT(sent * 4, around) << "sent " << sent << " pixels; the changes spanned " << around;
}

TEST(SceneSession, RepaintWipesTrailsInsideTheUpdateRectangleOnly) {
    RecordingHost host;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    for (int tick = 0; tick < 60; ++tick) TickScene(session);
    ASSERT_NE(host.Picture, host.Snapshot);
    const std::vector<uint32_t> trails = host.Picture;

    host.Presented.clear();
    RepaintScene(session, PixelRect{-5, -5, 160, 100});  // clipped to the scene
    ASSERT_EQ(host.Presented.size(), 1u);
    EXPECT_EQ(host.Presented[0], (std::vector<PixelRect>{{0, 0, 160, 100}}));
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 320; ++x) {
            const size_t i = static_cast<size_t>(y) * 320 + x;
            const bool inside = x < 160 && y < 100;
            ASSERT_EQ(host.Picture[i], inside ? host.Snapshot[i] : trails[i]) << x << "," << y;
        }
}

TEST(SceneSession, SecondCloseAndLateMessagesTouchNothing) {
    RecordingHost host;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(2, 2), false);
    CloseScene(session);
    CloseScene(session);
    EXPECT_EQ(host.Releases, 1);
    EXPECT_EQ(TickScene(session), 0u);
    RepaintScene(session, PixelRect{0, 0, 320, 200});
    RelayoutScene(session);
    EXPECT_TRUE(host.Presented.empty());
    EXPECT_EQ(host.Releases, 1);
    EXPECT_EQ(host.Made.size(), 1u);
}

TEST(SceneSession, EmptyOrUncapturedScenesStillTick) {
    struct Case {
        SceneSize Client;
        bool CanCapture;
    };
    for (const Case c : {Case{{0, 0}, true}, Case{{0, 50}, true}, Case{{1, 1}, false}}) {
        RecordingHost host;
        host.Client = c.Client;
        host.CanCapture = c.CanCapture;
        SceneSession session;
        EXPECT_EQ(Open(session, host, fixtures::MakeSettings(3, 3), true), 70u);
        for (int tick = 0; tick < 20; ++tick) TickScene(session);
        RepaintScene(session, PixelRect{0, 0, 10, 10});
        EXPECT_TRUE(host.Presented.empty());
        EXPECT_EQ(session.Scenes().at(0).Scene.ActiveCount, 0);
        CloseScene(session);
    }
}

TEST(SceneSession, TinyPreviewRuns) {
    RecordingHost host;
    host.Client = {1, 1};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), true);
    for (int tick = 0; tick < 50; ++tick) TickScene(session);
    EXPECT_FALSE(host.Presented.empty()) << "the one pixel is drawn and shown";
    for (const auto& rects : host.Presented)
        for (const PixelRect& r : rects) EXPECT_EQ(r, (PixelRect{0, 0, 1, 1}));
    CloseScene(session);
}

// A text rasteriser that runs out of memory at one point of its work.
struct StarvedText : TextRasteriser {
    int FailAt = 0;  // 0: making the surface, 1: measuring, 2: reading the mask
    void Fail(int at) {
        if (at == FailAt) throw std::bad_alloc();
    }
    bool BeginSurface(int32_t, int32_t, const FontRequest&) override {
        Fail(0);
        return true;
    }
    std::optional<int32_t> MeasureWord(std::string_view) override {
        Fail(1);
        return 10;
    }
    void DrawWord(std::string_view, int32_t, int32_t) override {}
    TextMask ReadMask() override {
        Fail(2);
        return {};
    }
    void EndSurface() override {}
};

TEST(SceneSession, ASetUpOutOfMemoryKeepsTheSnapshotStillAndTheTicksComing) {
    for (bool defer : {false, true}) {
        for (int failAt : {0, 1, 2}) {
            SCOPED_TRACE(::testing::Message() << "deferred " << defer << " failing at " << failAt);
            RecordingHost host;
            StarvedText text;
            text.FailAt = failAt;
            SceneSession session;
            SaverSettings settings = fixtures::MakeSettings(3, 3);
            settings.Text = true;
            SceneOptions options = Options(settings);
            options.SetUpAtFirstTick = defer;
            ASSERT_NO_THROW(EXPECT_EQ(OpenScene(session, SceneParts(host, nullptr, &text), options), 40u));
            for (int tick = 0; tick < 20; ++tick) ASSERT_NO_THROW(EXPECT_EQ(TickScene(session), 40u));
            EXPECT_EQ(host.Picture, host.Snapshot) << "the snapshot covers the screen";
            EXPECT_EQ(session.Scenes().at(0).Scene.ActiveCount, 0);
            EXPECT_TRUE(host.Presented.empty()) << "nothing moves";
            RepaintScene(session, {0, 0, 320, 200});
            EXPECT_EQ(host.Presented.size(), 1u) << "a repaint still shows the picture";
            CloseScene(session);
        }
    }
}

TEST(SceneSession, ADeferredSetUpShowsThePictureFirstThenGivesTheSameFrames) {
    RecordingHost now, later;
    RecordingSound nowSound, laterSound;
    SceneSession immediate, deferred;
    const SaverSettings settings = fixtures::MakeSettings(3, 3, true);
    Open(immediate, now, settings, false, &nowSound);
    SceneOptions options = Options(settings);
    options.SetUpAtFirstTick = true;
    options.ShowAtOpening = true;
    OpenScene(deferred, SceneParts(later, &laterSound), options);
    EXPECT_TRUE(laterSound.Played.empty()) << "no set-up yet";
    EXPECT_EQ(deferred.Scenes().at(0).Scene.ActiveCount, 0);
    EXPECT_EQ(later.Presented.size(), 1u) << "the picture shows before the set-up";
    TickScene(deferred);
    EXPECT_EQ(laterSound.Played.size(), 1u) << "the set-up ran at the first tick";
    TickScene(immediate);
    for (int tick = 1; tick < 100; ++tick) {
        TickScene(immediate);
        TickScene(deferred);
    }
    EXPECT_EQ(later.Picture, now.Picture);
    EXPECT_EQ(laterSound.Played, nowSound.Played);
    EXPECT_NE(now.Picture, now.Snapshot) << "the run drew something";
}

TEST(SceneSession, EverySoundCanStartAScene) {
    std::set<int32_t> started;
    for (uint32_t seed = 0; seed < 40; ++seed) {
        RecordingHost host;
        host.Screens = {{{0, 0, 64, 48}}, 0};
        RecordingSound sound;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(1, 2, true, true), false, &sound, seed * 7919u);
        ASSERT_EQ(sound.Played.size(), 1u);
        started.insert(sound.Played[0]);
    }
    EXPECT_EQ(started, (std::set<int32_t>{701, 702, 703}));
}

// The layout of the Windows two-monitor tests: the primary at the origin, a smaller monitor
// left of it (listed first), and the strip below the smaller one that no monitor covers.
const MonitorList TwoMonitors{{{-200, 0, 0, 150}, {0, 0, 256, 192}}, 1};

TEST(SceneSession, OnlyThePrimarysSoundDrawsPlay) {
    RecordingSound both, alone;
    {
        RecordingHost host;
        host.Screens = TwoMonitors;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(2, 2, true, true), false, &both);
        for (int tick = 0; tick < 300; ++tick) TickScene(session);
    }
    RecordingHost host;
    host.Screens = {{{0, 0, 256, 192}}, 0};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(2, 2, true, true), false, &alone);
    for (int tick = 0; tick < 300; ++tick) TickScene(session);
    EXPECT_GT(alone.Played.size(), 3u) << "the sound changes now and then";
    EXPECT_EQ(both.Played, alone.Played);
}

TEST(SceneSession, EachTickPresentsEveryMonitorsChangesAndNothingInTheUncoveredStrip) {
    RecordingHost host;
    host.Screens = TwoMonitors;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    ASSERT_EQ(session.Scenes().size(), 2u);
    EXPECT_EQ(session.Scenes()[0].Area, (PixelRect{200, 0, 456, 192}));
    EXPECT_EQ(session.Scenes()[1].Area, (PixelRect{0, 0, 200, 150}));
    bool leftTouched = false, rightTouched = false;
    for (int tick = 0; tick < 100; ++tick) {
        host.Presented.clear();
        TickScene(session);
        ASSERT_EQ(host.Presented.size(), 1u) << "one present a tick, whatever the number of monitors";
        for (const PixelRect& r : host.Presented[0]) {
            ASSERT_FALSE(r.Left < 200 && r.Bottom > 150) << "a rectangle reaches into the uncovered strip";
            (r.Left >= 200 ? rightTouched : leftTouched) = true;
        }
    }
    EXPECT_TRUE(leftTouched && rightTouched);
    for (int32_t y = 150; y < 192; ++y)
        for (int32_t x = 0; x < 200; ++x)
            ASSERT_EQ(host.Picture[static_cast<size_t>(y) * 456 + x], 0u) << x << "," << y;
}

TEST(SceneSession, AFirstSceneIndexSeedsAsThatSceneOfOneSessionOverEveryMonitor) {
    RecordingHost both;
    both.Screens = TwoMonitors;
    SceneSession whole;
    Open(whole, both, fixtures::MakeSettings(3, 3, false, false), false);
    RecordingHost second;
    second.Screens = {{{0, 0, 200, 150}}, 0};
    SceneOptions options = Options(fixtures::MakeSettings(3, 3, false, false));
    options.FirstSceneIndex = 1;
    SceneSession alone;
    OpenScene(alone, SceneParts(second), options);
    for (int tick = 0; tick < 40; ++tick) {
        TickScene(whole);
        TickScene(alone);
    }
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            ASSERT_EQ(second.Picture[static_cast<size_t>(y) * 200 + x], both.Picture[static_cast<size_t>(y) * 456 + x])
                << x << "," << y;
}

// A black snapshot needs no buffer: the frames, the uncovered strip and a repaint are those
// over a buffer of black.
TEST(SceneSession, ABlackSnapshotWithoutABufferDrawsTheSame) {
    RecordingHost buffered, bufferless;
    bufferless.BlackWithoutSnapshot = true;
    for (RecordingHost* host : {&buffered, &bufferless}) {
        host->Screens = TwoMonitors;
        SceneSession session;
        Open(session, *host, fixtures::MakeSettings(3, 3, false, false), false);
        for (int tick = 0; tick < 100; ++tick) TickScene(session);
        RepaintScene(session, {20, 10, 180, 120});
    }
    EXPECT_TRUE(bufferless.Snapshot.empty());
    EXPECT_EQ(bufferless.Picture, buffered.Picture);
    EXPECT_EQ(bufferless.Presented, buffered.Presented);
}

TEST(SceneSession, DisplayChangeRebuildsTheScenesOverBlackForTheNewLayout) {
    RecordingHost host;
    host.Screens = TwoMonitors;
    RecordingSound sound;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3, true, true), false, &sound);
    for (int tick = 0; tick < 30; ++tick) TickScene(session);
    const size_t played = sound.Played.size();

    host.Screens = {{{0, 0, 120, 90}}, 0};
    host.Visible = false;  // the saver's own window covers the desktop now
    host.Presented.clear();
    RelayoutScene(session);
    EXPECT_EQ(host.Releases, 1);
    EXPECT_EQ(host.Made.back(), std::make_pair(PixelRect{0, 0, 120, 90}, SnapshotSource::Black));
    EXPECT_EQ(sound.Played.size(), played) << "the looping sound goes on";
    ASSERT_EQ(session.Scenes().size(), 1u);
    EXPECT_EQ(session.Scenes()[0].Scene.SceneWidth, 120);
    EXPECT_EQ(host.Presented, (std::vector<std::vector<PixelRect>>{{{0, 0, 120, 90}}}));
    EXPECT_TRUE(AllBlack(host.Snapshot));
    // The new scene is the fresh single-screen scene of that size, drawn over black.
    RecordingHost alone;
    alone.Screens = {{{0, 0, 120, 90}}, 0};
    SceneSession fresh;
    Open(fresh, alone, fixtures::MakeSettings(3, 3, true, false), false);
    for (int tick = 0; tick < 40; ++tick) {
        TickScene(session);
        TickScene(fresh);
    }
    EXPECT_EQ(host.Picture, alone.Picture);
    CloseScene(session);
}

}  // namespace
}  // namespace wrigglet
