#include "core/wrigglet_step.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/scene_setup.h"
#include "oracle.h"
#include "scene_fixtures.h"
#include "sim/png_io.h"

namespace wrigglet {
namespace {

// A scene with `slots` active wrigglets parked at (5, 5) heading up, a zero field, the
// colour tables, and a frame over a patterned background.
struct ManualScene {
    SceneState Scene;
    std::vector<uint32_t> Pixels, Background;
    Frame Picture;

    ManualScene(int32_t width, int32_t height, int32_t slots) {
        Scene.SceneWidth = width;
        Scene.SceneHeight = height;
        BuildRampTable(Scene);
        BuildTrailPalette(Scene);
        ResetFieldGrid(Scene.Field, width + 8, height + 9);
        WriggletRecord parked;
        parked.HeadX = parked.HeadY = parked.TailX = parked.TailY = 5;
        parked.Length = 5;
        for (int32_t j = 1; j <= 5; ++j) SetSegment(parked, j, {5, 5});
        parked.Direction = 2;
        Scene.WriggletList.assign(static_cast<size_t>(slots), parked);
        Scene.MaxCount = Scene.ActiveCount = slots;
        Background.resize(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < Background.size(); ++i) Background[i] = static_cast<uint32_t>(i * 40503u) & 0xFFFFFF;
        Pixels = Background;
        AttachFrame(Picture, width, height, Pixels.data(), Background.data());
    }
    WriggletRecord& Slot(int32_t i) { return Scene.WriggletList[static_cast<size_t>(i) - 1]; }
    uint32_t Pixel(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Picture.Width + x]; }
    uint32_t BackgroundAt(int32_t x, int32_t y) const { return Background[static_cast<size_t>(y) * Picture.Width + x]; }
};

// Places wrigglet w with its head at `head`, heading `direction`, body trailing to the left.
void Place(WriggletRecord& w, ScenePoint head, ScenePoint tail, uint8_t direction) {
    w.HeadX = head.X;
    w.HeadY = head.Y;
    w.TailX = tail.X;
    w.TailY = tail.Y;
    w.Length = 5;
    for (int32_t j = 1; j <= 5; ++j) SetSegment(w, j, {head.X - j, head.Y});
    w.Direction = direction;
}

// The first seed from which the listed draws (bound, value) come out in order. A
// generator fault that never gives them fails the test instead of hanging it.
uint32_t SeedGiving(const std::vector<std::pair<uint32_t, uint32_t>>& draws) {
    for (uint32_t seed = 0; seed < 1'000'000; ++seed) {
        RandomGenerator g{seed, nullptr};
        bool all = true;
        for (auto [bound, value] : draws) all = all && Random(g, bound) == value;
        if (all) return seed;
    }
    ADD_FAILURE() << "no seed gives the draws";
    return 0;
}

uint32_t Advance(uint32_t seed, int32_t draws) {
    RandomGenerator g{seed, nullptr};
    for (int32_t i = 0; i < draws; ++i) Random(g, 2);
    return g.Seed;
}

uint32_t Trail(const SceneState& scene, int32_t index) { return ColorRefToPixel(MakeRgb(scene.TrailPalette[index])); }

TEST(WriggletStep, TrailGroupKColoursFromTheCellKRightAndKBelow) {
    struct Case {
        int32_t slot, group;
    };
    for (const Case c : {Case{1, 0}, Case{31, 0}, Case{32, 1}, Case{40, 1}, Case{63, 1}, Case{224, 7}, Case{255, 7}}) {
        ManualScene m(200, 120, c.slot);
        for (int32_t y = 0; y < m.Scene.Field.Height; ++y)
            for (int32_t x = 0; x < m.Scene.Field.Width; ++x) m.Scene.Field.At(x, y) = (x * 7 + y * 13) % 512;
        Place(m.Slot(c.slot), {120, 80}, {100, 50}, 4);
        WriggletStep(m.Scene, m.Picture);
        const int32_t k = c.group;
        EXPECT_EQ(m.Pixel(100, 50), Trail(m.Scene, m.Scene.Field.At(100 + k, 50 + k))) << "slot " << c.slot;
        EXPECT_EQ(m.Pixel(100, 51), Trail(m.Scene, m.Scene.Field.At(100 + k, 51 + k))) << "slot " << c.slot;
    }
}

TEST(WriggletStep, TextCellsUseThePalerPaletteHalf) {
    ManualScene m(200, 120, 40);
    m.Scene.Field.At(101, 51) = 200;
    m.Scene.Field.At(101, 52) = 456;
    Place(m.Slot(40), {120, 80}, {100, 50}, 4);
    WriggletStep(m.Scene, m.Picture);
    EXPECT_EQ(m.Pixel(100, 50), 0xFFDFC0u);  // (255, 223, 192)
    EXPECT_EQ(m.Pixel(100, 51), 0xE7F7C0u);  // (231, 247, 192)
}

TEST(WriggletStep, ErasersFromSlot256GiveTheBackgroundBackWithoutReadingTheField) {
    struct Case {
        int32_t slot;
        bool erases;
    };
    for (const Case c : {Case{255, false}, Case{256, true}, Case{257, true}, Case{512, true}}) {
        ManualScene m(200, 120, c.slot);
        std::fill(m.Scene.Field.Cells.begin(), m.Scene.Field.Cells.end(), 255);
        Place(m.Slot(c.slot), {150, 80}, {100, 50}, 4);
        WriggletStep(m.Scene, m.Picture);
        const uint32_t expected = c.erases ? m.BackgroundAt(100, 50) : Trail(m.Scene, 255);
        EXPECT_EQ(m.Pixel(100, 50), expected) << "slot " << c.slot;
        EXPECT_EQ(m.Pixel(100, 51), c.erases ? m.BackgroundAt(100, 51) : expected) << "slot " << c.slot;
    }
}

TEST(WriggletStep, AnEraserOverNoBackgroundGivesBlack) {
    ManualScene m(200, 120, 256);
    AttachFrame(m.Picture, 200, 120, m.Pixels.data(), nullptr);
    Place(m.Slot(256), {150, 80}, {100, 50}, 4);
    WriggletStep(m.Scene, m.Picture);
    EXPECT_EQ(m.Pixel(100, 50), 0u);
    EXPECT_EQ(m.Pixel(100, 51), 0u);
}

TEST(WriggletStep, PaintsBodyShadowHeadAndTail) {
    ManualScene m(200, 120, 1);
    Place(m.Slot(1), {50, 40}, {30, 40}, 4);
    m.Scene.Generator.Seed = SeedGiving({{500, 1}});
    WriggletStep(m.Scene, m.Picture);
    EXPECT_EQ(m.Pixel(50, 41), ColorRefToPixel(ShadowColour));
    EXPECT_EQ(m.Pixel(50, 40), ColorRefToPixel(BodyColour));
    EXPECT_EQ(m.Pixel(51, 40), ColorRefToPixel(HeadColour));
    EXPECT_EQ(m.Pixel(45, 40), ColorRefToPixel(BodyColour)) << "the old last segment is the new tail";
    EXPECT_EQ(m.Pixel(30, 40), Trail(m.Scene, 0)) << "the old tail is restored";
    EXPECT_EQ(m.Pixel(30, 41), Trail(m.Scene, 0));
}

TEST(WriggletStep, TheBodyFollowsTheHeadAndGrowsOnAZeroDraw) {
    for (bool grows : {false, true}) {
        ManualScene m(200, 120, 1);
        WriggletRecord& w = m.Slot(1);
        w.HeadX = w.HeadY = 10;
        w.Length = 5;
        for (int32_t j = 1; j <= 5; ++j) SetSegment(w, j, {10 - j, 10 + j});
        w.Direction = 3;
        m.Scene.Generator.Seed = SeedGiving({{500, grows ? 0u : 1u}});
        WriggletStep(m.Scene, m.Picture);
        EXPECT_EQ(ScenePoint(w.HeadX, w.HeadY), ScenePoint(11, 9));
        EXPECT_EQ(ScenePoint(w.TailX, w.TailY), ScenePoint(5, 15));
        const std::vector<ScenePoint> body{{10, 10}, {9, 11}, {8, 12}, {7, 13}, {6, 14}};
        for (int32_t j = 1; j <= 5; ++j) EXPECT_EQ(Segment(w, j), body[j - 1]) << j;
        EXPECT_EQ(w.Length, grows ? 6 : 5);
        if (grows) {
            EXPECT_EQ(Segment(w, 6), ScenePoint(5, 15));
        }
    }
}

TEST(WriggletStep, LengthStopsAt64WithoutAGrowthDraw) {
    ManualScene m(200, 120, 1);
    WriggletRecord& w = m.Slot(1);
    Place(w, {100, 60}, {90, 60}, 4);
    w.Length = 64;
    for (int32_t j = 1; j <= 64; ++j) SetSegment(w, j, {100 - j, 60});
    const uint32_t seed = 1234;
    m.Scene.Generator.Seed = seed;
    WriggletStep(m.Scene, m.Picture);
    EXPECT_EQ(w.Length, 64);
    EXPECT_EQ(ScenePoint(w.TailX, w.TailY), ScenePoint(36, 60));
    EXPECT_EQ(m.Scene.Generator.Seed, Advance(seed, 2)) << "turn and population draws only";
}

TEST(WriggletStep, EdgesClampTheHeadAndAHeldWrigglegletNeitherMovesNorGrows) {
    struct Case {
        ScenePoint head;
        uint8_t direction;
        ScenePoint after;
        int32_t draws;
    };
    const Case cases[] = {
        {{0, 5}, 8, {0, 5}, 2},         {{0, 5}, 1, {0, 4}, 3},         {{0, 0}, 1, {0, 0}, 2},
        {{200, 5}, 4, {200, 5}, 2},     {{200, 120}, 5, {200, 120}, 2}, {{199, 120}, 6, {199, 120}, 2},
        {{200, 120}, 3, {200, 119}, 3}, {{200, 0}, 2, {200, 0}, 2},
    };
    for (const Case& c : cases) {
        ManualScene m(200, 120, 1);
        WriggletRecord& w = m.Slot(1);
        Place(w, c.head, c.head, c.direction);
        m.Scene.Generator.Seed = 77;
        WriggletStep(m.Scene, m.Picture);
        EXPECT_EQ(ScenePoint(w.HeadX, w.HeadY), c.after) << "direction " << int(c.direction);
        EXPECT_EQ(m.Scene.Generator.Seed, Advance(77, c.draws)) << "direction " << int(c.direction);
    }
}

TEST(WriggletStep, TurnsWrapBetween8And1) {
    struct Case {
        ScenePoint head;
        uint8_t direction;
        uint32_t draw;
        uint8_t after;
    };
    const Case cases[] = {{{0, 5}, 8, 2, 1},   {{0, 0}, 1, 0, 8},   {{0, 0}, 1, 1, 1},
                          {{200, 5}, 4, 0, 3}, {{200, 5}, 4, 2, 5}, {{0, 5}, 8, 0, 7}};
    for (const Case& c : cases) {
        ManualScene m(200, 120, 1);
        WriggletRecord& w = m.Slot(1);
        Place(w, c.head, c.head, c.direction);  // pressed against an edge: no growth draw
        m.Scene.Generator.Seed = SeedGiving({{3, c.draw}});
        WriggletStep(m.Scene, m.Picture);
        EXPECT_EQ(w.Direction, c.after) << int(c.direction) << " with draw " << c.draw;
    }
}

TEST(WriggletStep, AFreshWriggletUnrollsFromTheCentre) {
    bool unrolled = false;
    for (uint32_t seed = 0; seed < 1000 && !unrolled; ++seed) {
        fixtures::SeededScene s;
        SaverSettings settings;
        settings.Wrigglets = 1;
        fixtures::MakeSeededScene(s, settings, 200, 160, 5);
        s.Scene.MaxCount = 1;
        s.Scene.Generator.Seed = seed;
        const WriggletRecord& w = s.Scene.WriggletList[0];
        const ScenePoint centre{100, 80};
        WriggletStep(s.Scene, s.Picture);
        const uint32_t* p = s.Pixels.data();
        EXPECT_EQ(p[80 * 200 + 100], ColorRefToPixel(BodyColour));
        EXPECT_EQ(p[81 * 200 + 100], ColorRefToPixel(ShadowColour));
        EXPECT_EQ(p[w.HeadY * 200 + w.HeadX], ColorRefToPixel(HeadColour));
        EXPECT_NE(ScenePoint(w.HeadX, w.HeadY), centre);
        for (int move = 2; move <= 6; ++move) {
            WriggletStep(s.Scene, s.Picture);
            EXPECT_EQ(ScenePoint(w.TailX, w.TailY), centre) << "move " << move;
        }
        WriggletStep(s.Scene, s.Picture);
        if (w.Length != 5) continue;  // grew meanwhile: try the next seed
        EXPECT_NE(ScenePoint(w.TailX, w.TailY), centre);
        unrolled = true;
    }
    EXPECT_TRUE(unrolled) << "some seed keeps the length for seven moves";
}

TEST(WriggletStep, PopulationGrowsOneAtATimeUpToMaxCount) {
    ManualScene m(300, 200, 64);
    m.Scene.ActiveCount = 1;
    m.Scene.Generator.Seed = 99;
    int32_t previous = 1;
    for (int step = 0; step < 20000; ++step) {
        WriggletStep(m.Scene, m.Picture);
        ASSERT_LE(m.Scene.ActiveCount - previous, 1);
        ASSERT_GE(m.Scene.ActiveCount, previous);
        previous = m.Scene.ActiveCount;
    }
    EXPECT_EQ(m.Scene.ActiveCount, 64);
}

using fixtures::RecordingSound;

TEST(FrameTick, TurboRunsFourPopulationDrawsButOneSoundDraw) {
    struct Case {
        int32_t speed;
        bool sound;
        int32_t steps;
    };
    for (const Case c : {Case{3, true, 4}, Case{2, true, 1}, Case{1, true, 1}, Case{3, false, 4}, Case{4, true, 1},
                         Case{0, false, 1}}) {
        for (uint32_t seed = 0; seed < 40; ++seed) {
            ManualScene m(50, 40, 0);
            m.Scene.Settings.Speed = c.speed;
            m.Scene.Settings.Sound = c.sound;
            m.Scene.Generator.Seed = seed;
            RecordingSound sound;
            FrameTick(m.Scene, m.Picture, &sound);
            RandomGenerator replay{seed, nullptr};
            for (int32_t i = 0; i < c.steps; ++i) Random(replay, 64);
            std::vector<int32_t> expected;
            if (c.sound && Random(replay, 10) == 0) expected.push_back(701 + static_cast<int32_t>(Random(replay, 3)));
            ASSERT_EQ(m.Scene.Generator.Seed, replay.Seed) << "speed " << c.speed << " seed " << seed;
            ASSERT_EQ(sound.Played, expected);
        }
    }
}

struct RunCase {
    int32_t Width, Height, Wrigglets, Speed;
    bool Sound;
    int32_t Ticks;
    uint32_t Seed;
};

std::vector<uint32_t> GradientBackground(int32_t w, int32_t h) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>((x * 255 / std::max(w - 1, 1)) << 16 |
                                                                           (y * 255 / std::max(h - 1, 1)) << 8 | 0x40);
    return pixels;
}

void ExpectRunMatchesReference(const RunCase& c) {
    SCOPED_TRACE(::testing::Message() << c.Width << "x" << c.Height << " wrigglets " << c.Wrigglets << " speed "
                                      << c.Speed << " seed " << c.Seed);
    SaverSettings settings;
    settings.Wrigglets = c.Wrigglets;
    settings.Speed = c.Speed;
    settings.Sound = c.Sound;
    const std::vector<uint32_t> background = GradientBackground(c.Width, c.Height);
    fixtures::SeededScene s;
    RecordingSound sound;
    fixtures::MakeSeededScene(s, settings, c.Width, c.Height, c.Seed, background, &sound);
    std::vector<uint32_t> backgroundRefs;
    for (uint32_t p : background) backgroundRefs.push_back(PixelToColorRef(p));
    oracle::Scene expected;
    oracle::CreateScene(expected, settings, c.Width, c.Height, c.Seed, backgroundRefs);
    for (int32_t tick = 0; tick < c.Ticks; ++tick) {
        FrameTick(s.Scene, s.Picture, &sound);
        oracle::FrameTick(expected);
    }
    ASSERT_EQ(sim::PixelsToRgb(s.Pixels), fixtures::ColorRefsToRgb(expected.Picture));
    EXPECT_EQ(s.Scene.ActiveCount, expected.ActiveCount);
    EXPECT_EQ(s.Scene.Generator.Seed, expected.Random.Seed);
    EXPECT_EQ(sound.Played, expected.SoundsPlayed);
    for (int32_t i = 1; i <= s.Scene.MaxCount; ++i) {
        const WriggletRecord& w = s.Scene.WriggletList[i - 1];
        const oracle::Record& r = expected.Wrigglets[i];
        ASSERT_EQ(std::tie(w.HeadX, w.HeadY, w.TailX, w.TailY, w.Length),
                  std::tie(r.HeadX, r.HeadY, r.TailX, r.TailY, r.Length));
        ASSERT_EQ(w.Direction, r.Direction);
        for (int32_t j = 1; j <= w.Length; ++j) ASSERT_EQ(Segment(w, j), ScenePoint(r.SegmentX[j], r.SegmentY[j]));
    }
}

TEST(FrameTick, RunsMatchTheReferencePixelForPixel) {
    const RunCase cases[] = {
        {160, 120, 3, 3, true, 600, 1}, {160, 120, 2, 2, false, 600, 2004}, {97, 61, 1, 1, true, 1500, 7},
        {1, 1, 3, 3, false, 200, 3},    {3, 2, 3, 2, false, 300, 4},        {64, 700, 3, 3, true, 150, 5},
        {700, 9, 2, 3, false, 300, 6},
    };
    for (const RunCase& c : cases) ExpectRunMatchesReference(c);
}

TEST(FrameTick, LargeRunsMatchTheReference) {
    if (fixtures::SlowRun) GTEST_SKIP() << "too slow under the sanitizers or an emulator; the native run covers it";
    ExpectRunMatchesReference({2049, 1537, 3, 3, true, 100, 11});
    ExpectRunMatchesReference({640, 480, 3, 3, false, 1500, 12});
}

TEST(FrameTick, TwoScenesInOneProcessDoNotDisturbEachOther) {
    SaverSettings a, b;
    a.Wrigglets = 3;
    a.Speed = 3;
    b.Wrigglets = 2;
    b.Speed = 1;
    b.Sound = true;
    fixtures::SeededScene soloA, soloB, sideA, sideB;
    fixtures::MakeSeededScene(soloA, a, 120, 90, 10);
    for (int i = 0; i < 300; ++i) FrameTick(soloA.Scene, soloA.Picture, nullptr);
    fixtures::MakeSeededScene(soloB, b, 80, 100, 20);
    for (int i = 0; i < 300; ++i) FrameTick(soloB.Scene, soloB.Picture, nullptr);
    fixtures::MakeSeededScene(sideA, a, 120, 90, 10);
    fixtures::MakeSeededScene(sideB, b, 80, 100, 20);
    for (int i = 0; i < 300; ++i) {
        FrameTick(sideB.Scene, sideB.Picture, nullptr);
        FrameTick(sideA.Scene, sideA.Picture, nullptr);
    }
    EXPECT_EQ(sideA.Pixels, soloA.Pixels);
    EXPECT_EQ(sideB.Pixels, soloB.Pixels);
    EXPECT_NE(soloA.Pixels, soloA.Background) << "the run drew something";
}

}  // namespace
}  // namespace wrigglet
