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

struct RecordingHost : SceneHost {
    SceneSize Screen{320, 200};
    SceneSize Client{152, 112};
    std::vector<PixelRect> MonitorList;  // empty: the platform can't tell
    bool CanCapture = true;
    std::vector<std::string> Log;
    std::vector<uint32_t> Snapshot, Picture;
    std::vector<std::vector<PixelRect>> Presented;
    uint32_t TimerInterval = 0;

    SceneSize ScreenSize() override {
        Log.push_back("screen");
        return Screen;
    }
    SceneSize ClientSize() override {
        Log.push_back("client");
        return Client;
    }
    std::vector<PixelRect> Monitors() override {
        Log.push_back("monitors");
        return MonitorList;
    }
    bool CaptureSnapshot(int32_t width, int32_t height, bool stretch, bool fromScreen, uint32_t*& snapshot,
                         uint32_t*& picture) override {
        Log.push_back(std::string(!fromScreen ? "black "
                                  : stretch   ? "stretch "
                                              : "copy ") +
                      std::to_string(width) + "x" + std::to_string(height));
        if (!CanCapture) return false;
        // What the buffers hold before any copy: the capture must not show through.
        Snapshot.resize(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < Snapshot.size(); ++i) Snapshot[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        Picture.assign(Snapshot.size(), 0x123456u);
        snapshot = Snapshot.data();
        picture = Picture.data();
        return true;
    }
    // Really frees the buffers, so a session still using them shows under AddressSanitizer.
    void ReleaseSnapshot() override {
        Log.push_back("release");
        std::vector<uint32_t>().swap(Snapshot);
        std::vector<uint32_t>().swap(Picture);
    }
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
    session.TimeOfDay = FixedTimeOfDay(seed);
    OpenScene(session, host, settings, preview, sound, nullptr);
}

TEST(SceneSession, CreationCapturesThenSetsUpThenStartsTheTimer) {
    struct Case {
        bool Preview;
        const char* Capture;
    };
    for (const Case c : {Case{false, "copy 320x200"}, Case{true, "stretch 152x112"}}) {
        RecordingHost host;
        RecordingSound sound;
        sound.Log = &host.Log;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(2, 2, true, true), c.Preview, &sound);
        std::vector<std::string> expected{c.Preview ? "client" : "monitors"};
        if (!c.Preview) expected.push_back("screen");
        expected.push_back(c.Capture);
        expected.push_back("sound " + std::to_string(sound.Played.at(0)));
        expected.push_back("timer 5");
        EXPECT_EQ(host.Log, expected) << "preview " << c.Preview;
        EXPECT_EQ(host.Picture, host.Snapshot) << "the picture starts as the snapshot";
    }
}

TEST(SceneSession, TimerIntervalFollowsModeAndSpeed) {
    struct Case {
        bool Preview;
        int32_t Speed;
        uint32_t Interval;
    };
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
    EXPECT_EQ(host.Log.at(2), "black 320x200");
    EXPECT_TRUE(std::all_of(host.Snapshot.begin(), host.Snapshot.end(), [](uint32_t p) { return p == 0; }));
    EXPECT_EQ(host.Picture, host.Snapshot);
}

// Each tick sends exactly its touched tiles: whole tiles that cover every changed pixel,
// never overlapping, and (once the wrigglets have spread) far less than the rectangle
// around the changes, which a present of a few rectangles or bands would send.
TEST(SceneSession, EachTickSendsOnlyItsTouchedTilesCoveringEveryChange) {
    RecordingHost host;
    host.Screen = {1920, 1080};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    for (int tick = 0; tick < 400; ++tick) TickScene(session, host, nullptr);
    std::vector<uint32_t> before = host.Picture;
    int64_t sent = 0, around = 0;
    for (int tick = 0; tick < 20; ++tick) {
        host.Presented.clear();
        TickScene(session, host, nullptr);
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
    TickScene(session, host, nullptr);
    RepaintScene(session, host, PixelRect{0, 0, 320, 200});
    RelayoutScene(session, host, fixtures::MakeSettings(2, 2), nullptr);
    EXPECT_TRUE(host.Presented.empty());
    EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "release"), 1);
}

TEST(SceneSession, EmptyOrUncapturedScenesStillRunTheirTimer) {
    struct Case {
        SceneSize Client;
        bool CanCapture;
    };
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
        EXPECT_EQ(session.Scenes.at(0).Scene.ActiveCount, 0);
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
            session.TimeOfDay = FixedTimeOfDay(7);
            ASSERT_NO_THROW(OpenScene(session, host, settings, false, nullptr, &text, defer));
            EXPECT_EQ(host.Log.back(), "timer 5");
            for (int tick = 0; tick < 20; ++tick) ASSERT_NO_THROW(TickScene(session, host, nullptr));
            EXPECT_EQ(host.Picture, host.Snapshot) << "the snapshot covers the screen";
            EXPECT_EQ(session.Scenes.at(0).Scene.ActiveCount, 0);
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
    deferred.TimeOfDay = FixedTimeOfDay(7);
    OpenScene(deferred, later, settings, false, &laterSound, nullptr, true);
    EXPECT_EQ(later.Log, (std::vector<std::string>{"monitors", "screen", "copy 320x200", "timer 5"}))
        << "no set-up yet";
    RepaintScene(deferred, later, {0, 0, 320, 200});
    EXPECT_EQ(later.Presented.size(), 1u) << "the picture shows before the set-up";
    for (int tick = 0; tick < 100; ++tick) {
        TickScene(immediate, now, &nowSound);
        TickScene(deferred, later, &laterSound);
    }
    EXPECT_EQ(later.Log.at(4), "sound " + std::to_string(nowSound.Played.at(0))) << "the set-up ran at the first tick";
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

// The layout Wine reports for the two-monitor tests: the primary at the origin, a smaller
// monitor left of it, and the strip below the smaller one that no monitor covers.
const std::vector<PixelRect> TwoMonitors{{0, 0, 256, 192}, {-200, 0, 0, 150}};

TEST(SceneSession, OnlyThePrimarysSoundDrawsPlay) {
    RecordingSound both, alone;
    {
        RecordingHost host;
        host.MonitorList = TwoMonitors;
        SceneSession session;
        Open(session, host, fixtures::MakeSettings(2, 2, true, true), false, &both);
        for (int tick = 0; tick < 300; ++tick) TickScene(session, host, &both);
    }
    RecordingHost host;
    host.Screen = {256, 192};
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(2, 2, true, true), false, &alone);
    for (int tick = 0; tick < 300; ++tick) TickScene(session, host, &alone);
    EXPECT_GT(alone.Played.size(), 3u) << "the sound changes now and then";
    EXPECT_EQ(both.Played, alone.Played);
}

TEST(SceneSession, EachTickPresentsEveryMonitorsChangesAndNothingInTheUncoveredStrip) {
    RecordingHost host;
    host.MonitorList = TwoMonitors;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3), false);
    ASSERT_EQ(session.Scenes.size(), 2u);
    EXPECT_EQ(session.Scenes[0].Area, (PixelRect{200, 0, 456, 192}));
    EXPECT_EQ(session.Scenes[1].Area, (PixelRect{0, 0, 200, 150}));
    bool leftTouched = false, rightTouched = false;
    for (int tick = 0; tick < 100; ++tick) {
        host.Presented.clear();
        TickScene(session, host, nullptr);
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

TEST(SceneSession, DisplayChangeRebuildsTheScenesOverBlackForTheNewLayout) {
    RecordingHost host;
    host.MonitorList = TwoMonitors;
    RecordingSound sound;
    SceneSession session;
    Open(session, host, fixtures::MakeSettings(3, 3, true, true), false, &sound);
    for (int tick = 0; tick < 30; ++tick) TickScene(session, host, &sound);
    const size_t played = sound.Played.size();

    host.MonitorList = {{0, 0, 120, 90}};
    host.Log.clear();
    host.Presented.clear();
    RelayoutScene(session, host, fixtures::MakeSettings(3, 3, true, true), nullptr);
    EXPECT_EQ(host.Log, (std::vector<std::string>{"release", "monitors", "black 120x90"}));
    EXPECT_EQ(sound.Played.size(), played) << "the looping sound goes on";
    ASSERT_EQ(session.Scenes.size(), 1u);
    EXPECT_EQ(session.Scenes[0].Scene.SceneWidth, 120);
    EXPECT_EQ(host.Presented, (std::vector<std::vector<PixelRect>>{{{0, 0, 120, 90}}}));
    EXPECT_TRUE(std::all_of(host.Snapshot.begin(), host.Snapshot.end(), [](uint32_t p) { return p == 0; }));
    // The new scene is the fresh single-screen scene of that size, drawn over black.
    RecordingHost alone;
    alone.Screen = {120, 90};
    SceneSession fresh;
    Open(fresh, alone, fixtures::MakeSettings(3, 3, true, false), false);
    for (int tick = 0; tick < 40; ++tick) {
        TickScene(session, host, &sound);
        TickScene(fresh, alone, nullptr);
    }
    EXPECT_EQ(host.Picture, alone.Picture);
    CloseScene(session, host);
}

}  // namespace
}  // namespace wrigglet
