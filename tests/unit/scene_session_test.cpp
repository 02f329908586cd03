// The scene window's life against a recording host: order of the platform work, the
// timer, what each tick sends to the window, repaints, and release.
#include "core/scene_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "scene_fixtures.h"

namespace wrigglet {
namespace {

struct RecordingHost : SceneHost {
    SceneSize Screen{320, 200};
    SceneSize Client{152, 112};
    bool CanCapture = true;
    std::vector<std::string> Log;
    std::vector<uint32_t> Snapshot, Picture;
    std::vector<std::vector<PixelRect>> Presented;
    uint32_t TimerInterval = 0;

    SceneSize ScreenSize() override { Log.push_back("screen"); return Screen; }
    SceneSize ClientSize() override { Log.push_back("client"); return Client; }
    bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                         uint32_t*& picture) override {
        Log.push_back(std::string(!fromScreen ? "black " : stretch ? "stretch " : "copy ") + std::to_string(width) + "x" +
                      std::to_string(height));
        if (!CanCapture) return false;
        // What the buffers hold before any copy: the capture must not show through.
        Snapshot.resize(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < Snapshot.size(); ++i) Snapshot[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        Picture.assign(Snapshot.size(), 0x123456u);
        snapshot = Snapshot.data();
        picture = Picture.data();
        return true;
    }
    void ReleaseSnapshot() override { Log.push_back("release"); }
    void StartTimer(uint32_t id, uint32_t ms) override {
        Log.push_back("timer " + std::to_string(id));
        TimerInterval = ms;
    }
    void StopTimer(uint32_t id) override { Log.push_back("stop " + std::to_string(id)); }
    void Present(const std::vector<PixelRect>& rects) override { Presented.push_back(rects); }
};

using fixtures::RecordingSound;

void Open(SceneSession& session, RecordingHost& host, const SaverSettings& settings, bool preview,
          SoundPlayer* sound = nullptr, uint32_t seed = 7) {
    session.Scene.Generator.TimeOfDay = FixedTimeOfDay(seed);
    OpenScene(session, host, settings, preview, sound, nullptr);
}

TEST(SceneSession, CreationCapturesThenSetsUpThenStartsTheTimer) {
    struct Case { bool Preview; const char* Capture; };
    for (const Case c : {Case{false, "copy 320x200"}, Case{true, "stretch 152x112"}}) {
        RecordingHost host;
        RecordingSound sound;
        sound.Log = &host.Log;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(2, 2, true, true), c.Preview, &sound);
        std::vector<std::string> expected{"screen"};
        if (c.Preview) expected.push_back("client");
        expected.push_back(c.Capture);
        expected.push_back("sound " + std::to_string(sound.Played.at(0)));
        expected.push_back("timer 5");
        EXPECT_EQ(host.Log, expected) << "preview " << c.Preview;
        EXPECT_EQ(host.Picture, host.Snapshot) << "the picture starts as the snapshot";
    }
}

TEST(SceneSession, TimerIntervalFollowsModeAndSpeed) {
    struct Case { bool Preview; int32_t Speed; uint32_t Interval; };
    for (const Case c : {Case{false, 1, 80}, Case{false, 2, 40}, Case{false, 3, 40}, Case{false, 0, 40},
                         Case{false, 7, 40}, Case{true, 1, 70}, Case{true, 3, 70}}) {
        RecordingHost host;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(1, c.Speed), c.Preview);
        EXPECT_EQ(host.TimerInterval, c.Interval) << "preview " << c.Preview << " speed " << c.Speed;
    }
}

TEST(SceneSession, BlackBackgroundNeedsNoCapture) {
    RecordingHost host;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(2, 2, false, false), false);
    EXPECT_EQ(host.Log.at(1), "black 320x200");
    EXPECT_TRUE(std::all_of(host.Snapshot.begin(), host.Snapshot.end(), [](uint32_t p) { return p == 0; }));
    EXPECT_EQ(host.Picture, host.Snapshot);
}

TEST(SceneSession, EachTickSendsABoundedSetOfRectanglesCoveringEveryChange) {
    RecordingHost host;
    host.Screen = {1920, 1080};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    std::vector<uint32_t> before = host.Picture;
    for (int tick = 0; tick < 150; ++tick) {
        host.Presented.clear();
        TickScene(session, host, nullptr);
        ASSERT_EQ(host.Presented.size(), 1u);
        const std::vector<PixelRect>& rects = host.Presented[0];
        ASSERT_LE(rects.size(), MaxPresentRects);
        for (size_t i = 0; i < before.size(); ++i) {
            if (before[i] == host.Picture[i]) continue;
            const int32_t x = static_cast<int32_t>(i % 1920), y = static_cast<int32_t>(i / 1920);
            const bool covered = std::any_of(rects.begin(), rects.end(), [&](const PixelRect& r) {
                return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            });
            ASSERT_TRUE(covered) << "pixel " << x << "," << y << " changed at tick " << tick << " but was not sent";
        }
        before = host.Picture;
    }
}

TEST(SceneSession, RepaintWipesTrailsInsideTheUpdateRectangleOnly) {
    RecordingHost host;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    for (int tick = 0; tick < 60; ++tick) TickScene(session, host, nullptr);
    ASSERT_NE(host.Picture, host.Snapshot);
    const std::vector<uint32_t> trails = host.Picture;

    host.Presented.clear();
    RepaintScene(session, host, PixelRect{-5, -5, 160, 100});  // clipped to the scene
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
    CloseScene(session, host);
    CloseScene(session, host);
    EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "release"), 1);
    EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "stop 5"), 1);
    const std::vector<uint32_t> picture = host.Picture;
    TickScene(session, host, nullptr);
    RepaintScene(session, host, PixelRect{0, 0, 320, 200});
    EXPECT_TRUE(host.Presented.empty());
    EXPECT_EQ(host.Picture, picture);
}

TEST(SceneSession, EmptyOrUncapturedScenesStillRunTheirTimer) {
    struct Case { SceneSize Client; bool CanCapture; };
    for (const Case c : {Case{{0, 0}, true}, Case{{0, 50}, true}, Case{{1, 1}, false}}) {
        RecordingHost host;
        host.Client = c.Client;
        host.CanCapture = c.CanCapture;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(3, 3), true);
        EXPECT_EQ(host.Log.back(), "timer 5");
        for (int tick = 0; tick < 20; ++tick) TickScene(session, host, nullptr);
        RepaintScene(session, host, PixelRect{0, 0, 10, 10});
        EXPECT_TRUE(host.Presented.empty());
        EXPECT_EQ(session.Scene.ActiveCount, 0);
        CloseScene(session, host);
    }
}

TEST(SceneSession, TinyPreviewRuns) {
    RecordingHost host;
    host.Client = {1, 1};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), true);
    for (int tick = 0; tick < 50; ++tick) TickScene(session, host, nullptr);
    EXPECT_FALSE(host.Presented.empty()) << "the one pixel is drawn and shown";
    for (const auto& rects : host.Presented)
        for (const PixelRect& r : rects) EXPECT_EQ(r, (PixelRect{0, 0, 1, 1}));
    CloseScene(session, host);
}

// A text rasteriser that runs out of memory at one point of its work.
struct StarvedText : TextRasteriser {
    int FailAt = 0;  // 0: making the surface, 1: measuring, 2: reading the mask
    void Fail(int at) { if (at == FailAt) throw std::bad_alloc(); }
    bool BeginSurface(int32_t, int32_t, const FontRequest&) override { Fail(0); return true; }
    std::optional<int32_t> MeasureWord(std::string_view) override { Fail(1); return 10; }
    void DrawWord(std::string_view, int32_t, int32_t) override {}
    TextMask ReadMask() override { Fail(2); return {}; }
    void EndSurface() override {}
};

TEST(SceneSession, ASetUpOutOfMemoryKeepsTheSnapshotStillAndTheTimerRunning) {
    for (bool defer : {false, true}) {
        for (int failAt : {0, 1, 2}) {
            SCOPED_TRACE(::testing::Message() << "deferred " << defer << " failing at " << failAt);
            RecordingHost host;
            StarvedText text;
            text.FailAt = failAt;
            SceneSession session;
            SaverSettings settings = fixtures::MakeSettings(3, 3);
            settings.Text = true;
            session.Scene.Generator.TimeOfDay = FixedTimeOfDay(7);
            ASSERT_NO_THROW(OpenScene(session, host, settings, false, nullptr, &text, defer));
            EXPECT_EQ(host.Log.back(), "timer 5");
            for (int tick = 0; tick < 20; ++tick) ASSERT_NO_THROW(TickScene(session, host, nullptr));
            EXPECT_EQ(host.Picture, host.Snapshot) << "the snapshot covers the screen";
            EXPECT_EQ(session.Scene.ActiveCount, 0);
            EXPECT_TRUE(host.Presented.empty()) << "nothing moves";
            RepaintScene(session, host, {0, 0, 320, 200});
            EXPECT_EQ(host.Presented.size(), 1u) << "a repaint still shows the picture";
            CloseScene(session, host);
        }
    }
}

TEST(SceneSession, ADeferredSetUpShowsThePictureFirstThenGivesTheSameFrames) {
    RecordingHost now, later;
    RecordingSound nowSound, laterSound;
    laterSound.Log = &later.Log;
    SceneSession immediate, deferred;
    const SaverSettings settings = fixtures::MakeSettings(3, 3, true);
    Open(immediate, now, settings, false, &nowSound);
    deferred.Scene.Generator.TimeOfDay = FixedTimeOfDay(7);
    OpenScene(deferred, later, settings, false, &laterSound, nullptr, true);
    EXPECT_EQ(later.Log, (std::vector<std::string>{"screen", "copy 320x200", "timer 5"})) << "no set-up yet";
    RepaintScene(deferred, later, {0, 0, 320, 200});
    EXPECT_EQ(later.Presented.size(), 1u) << "the picture shows before the set-up";
    for (int tick = 0; tick < 100; ++tick) {
        TickScene(immediate, now, &nowSound);
        TickScene(deferred, later, &laterSound);
    }
    EXPECT_EQ(later.Log.at(3), "sound " + std::to_string(nowSound.Played.at(0))) << "the set-up ran at the first tick";
    EXPECT_EQ(later.Picture, now.Picture);
    EXPECT_EQ(laterSound.Played, nowSound.Played);
    EXPECT_NE(now.Picture, now.Snapshot) << "the run drew something";
}

TEST(SceneSession, EverySoundCanStartAScene) {
    std::set<int32_t> started;
    for (uint32_t seed = 0; seed < 40; ++seed) {
        RecordingHost host;
        host.Screen = {64, 48};
        RecordingSound sound;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(1, 2, true, true), false, &sound, seed * 7919u);
        ASSERT_EQ(sound.Played.size(), 1u);
        started.insert(sound.Played[0]);
    }
    EXPECT_EQ(started, (std::set<int32_t>{701, 702, 703}));
}

}  // namespace
}  // namespace wrigglet
