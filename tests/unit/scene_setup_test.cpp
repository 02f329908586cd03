#include "core/scene_setup.h"

#include <gtest/gtest.h>

#include <set>

#include "core/noise_field.h"
#include "oracle.h"
#include "scene_fixtures.h"

namespace wrigglet {
namespace {

using fixtures::RecordingSound;

TEST(SceneSetup, TileSizeIsAboutHalfTheSceneInMultiplesOf32) {
    struct Case {
        int32_t w, h;
        TileSize tile;
    };
    const Case cases[] = {
        {1024, 768, {512, 384}}, {800, 600, {416, 320}},   {152, 112, {96, 64}}, {2048, 1536, {1024, 768}},
        {1, 1, {32, 32}},        {1920, 1080, {960, 544}}, {0, 0, {0, 0}}};
    for (const Case& c : cases) EXPECT_EQ(TileSizeFor(c.w, c.h), c.tile) << c.w << "x" << c.h;
}

TEST(SceneSetup, PopulationFollowsTheWriggletsSetting) {
    struct Case {
        int32_t wrigglets, maxCount, active;
    };
    for (const Case& c :
         {Case{1, 64, 1}, Case{2, 128, 16}, Case{3, 512, 64}, Case{0, 0, 0}, Case{4, 0, 0}, Case{-1, 0, 0}}) {
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(321);
        CreateScene(scene, fixtures::MakeSettings(c.wrigglets), 101, 61, nullptr, nullptr);
        EXPECT_EQ(scene.MaxCount, c.maxCount);
        EXPECT_EQ(scene.ActiveCount, c.active);
        ASSERT_EQ(scene.WriggletList.size(), static_cast<size_t>(c.maxCount));
        // One heading draw per record, straight after seeding.
        RandomGenerator replay{0, FixedTimeOfDay(321)};
        Randomize(replay);
        for (const WriggletRecord& w : scene.WriggletList) {
            EXPECT_EQ(w.Direction, Random(replay, 8) + 1);
            EXPECT_EQ(ScenePoint(w.HeadX, w.HeadY), ScenePoint(50, 30));
            EXPECT_EQ(ScenePoint(w.TailX, w.TailY), ScenePoint(50, 30));
            EXPECT_EQ(w.Length, 5);
            for (int32_t j = 1; j <= 5; ++j) EXPECT_EQ(Segment(w, j), ScenePoint(50, 30));
        }
    }
}

TEST(SceneSetup, ColourTablesHoldTheRampsAndThePalerTextHalf) {
    SceneState scene;
    BuildRampTable(scene);
    BuildTrailPalette(scene);
    struct Case {
        int32_t index;
        RgbEntry ramp;
    };
    for (const Case& c :
         {Case{0, {0, 0, 0}}, Case{63, {63, 0, 0}}, Case{64, {64, 0, 0}}, Case{127, {190, 0, 0}},
          Case{128, {192, 0, 0}}, Case{191, {255, 63, 31}}, Case{192, {255, 255, 224}}, Case{200, {255, 223, 192}},
          Case{223, {255, 131, 100}}, Case{224, {255, 128, 96}}, Case{255, {255, 190, 189}}}) {
        EXPECT_EQ(scene.RampTable[c.index], c.ramp) << c.index;
        EXPECT_EQ(scene.TrailPalette[c.index], c.ramp) << c.index;
    }
    for (const Case& c : {Case{256, {168, 192, 144}}, Case{447, {231, 207, 151}}, Case{456, {231, 247, 192}},
                          Case{511, {231, 239, 191}}})
        EXPECT_EQ(scene.TrailPalette[c.index], c.ramp) << c.index;
}

TEST(SceneSetup, TheTileRepeatsOverTheSceneAndItsMargin) {
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(8);
    CreateScene(scene, fixtures::MakeSettings(2), 1024, 768, nullptr, nullptr);
    EXPECT_EQ(scene.Field.At(700, 500), scene.Field.At(188, 116));
    for (int32_t y = 0; y <= 768 + 8; ++y)
        for (int32_t x = 0; x <= 1024 + 7; ++x) ASSERT_EQ(scene.Field.At(x, y), scene.Field.At(x % 512, y % 384));
    for (int32_t y = 0; y <= 776; ++y)
        for (int32_t x = 0; x <= 1031; ++x) ASSERT_TRUE(scene.Field.At(x, y) >= 0 && scene.Field.At(x, y) <= 255);
}

// The field over x = 0..W+7, y = 0..H+8 must equal the reference's, and so must the draws.
void ExpectFieldMatchesReference(int32_t width, int32_t height, uint32_t seed) {
    SCOPED_TRACE(::testing::Message() << width << "x" << height);
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(seed);
    RecordingSound sound;
    CreateScene(scene, fixtures::MakeSettings(1, 2, true), width, height, &sound, nullptr);
    oracle::Scene expected;
    oracle::CreateScene(expected, fixtures::MakeSettings(1, 2, true), width, height, seed, {});
    for (int32_t y = 0; y <= height + 8; ++y)
        for (int32_t x = 0; x <= width + 7; ++x)
            ASSERT_EQ(scene.Field.At(x, y), expected.Field.Cell(x, y)) << "cell " << x << "," << y;
    EXPECT_EQ(sound.Played, expected.SoundsPlayed);
    EXPECT_EQ(scene.Generator.Seed, expected.Random.Seed);
}

TEST(SceneSetup, FieldMatchesTheReferenceOverManySizes) {
    struct Case {
        int32_t w, h;
    };
    for (const Case c : {Case{800, 600}, Case{1, 1}, Case{152, 112}, Case{1, 300}, Case{300, 1}, Case{65, 33}})
        ExpectFieldMatchesReference(c.w, c.h, 17);
}

TEST(SceneSetup, FieldMatchesTheReferenceBeyondTheClampedTile) {
    if (fixtures::SlowRun) GTEST_SKIP() << "too slow under the sanitizers or an emulator; the native run covers it";
    ExpectFieldMatchesReference(2049, 1537, 3);
    ExpectFieldMatchesReference(3840, 2160, 4);
}

TEST(SceneSetup, SoundStartsOneOfTheThreeLoopsWhenOn) {
    std::set<int32_t> seen;
    for (uint32_t seed = 0; seed < 40; ++seed) {
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(seed);
        RecordingSound sound;
        CreateScene(scene, fixtures::MakeSettings(1, 2, true), 64, 48, &sound, nullptr);
        ASSERT_EQ(sound.Played.size(), 1u);
        seen.insert(sound.Played[0]);
        RecordingSound silent;
        CreateScene(scene, fixtures::MakeSettings(1, 2, false), 64, 48, &silent, nullptr);
        EXPECT_TRUE(silent.Played.empty());
    }
    EXPECT_EQ(seen, (std::set<int32_t>{701, 702, 703}));
}

TEST(SceneSetup, AnEmptySceneHasNoFieldAndNoWrigglets) {
    struct Case {
        int32_t w, h;
    };
    for (const Case c : {Case{0, 0}, Case{0, 100}, Case{100, 0}, Case{-5, 10}}) {
        fixtures::SeededScene s;
        RecordingSound sound;
        SaverSettings settings = fixtures::MakeSettings(3, 3, true);
        settings.Text = true;
        fixtures::MakeSeededScene(s, settings, c.w, c.h, 1, {}, &sound);
        EXPECT_TRUE(s.Scene.Field.Cells.empty());
        EXPECT_EQ(s.Scene.MaxCount, 0);
        EXPECT_EQ(s.Scene.ActiveCount, 0);
        EXPECT_EQ(sound.Played.size(), 1u) << "the sound still starts";
        for (int tick = 0; tick < 50; ++tick) FrameTick(s.Scene, s.Picture, &sound);
        EXPECT_EQ(s.Scene.ActiveCount, 0);
    }
}

TEST(SceneSetup, ExtremeShapesUpTo8192AreSafe) {
    struct Case {
        int32_t w, h;
    };
    for (const Case c : {Case{8192, 3}, Case{3, 8192}, Case{8192, 40}}) {
        fixtures::SeededScene s;
        fixtures::MakeSeededScene(s, fixtures::MakeSettings(3, 3), c.w, c.h, 2);
        EXPECT_GE(s.Scene.Field.Width, c.w + 8);
        EXPECT_GE(s.Scene.Field.Height, c.h + 9);
        for (int tick = 0; tick < 200; ++tick) FrameTick(s.Scene, s.Picture, nullptr);
    }
}

TEST(SceneSetup, SettingUpAgainReplacesTheScene) {
    SceneState scene;
    scene.Generator.TimeOfDay = FixedTimeOfDay(1);
    CreateScene(scene, fixtures::MakeSettings(3), 640, 480, nullptr, nullptr);
    CreateScene(scene, fixtures::MakeSettings(1), 32, 24, nullptr, nullptr);
    EXPECT_EQ(scene.WriggletList.size(), 64u);
    EXPECT_EQ(scene.Field.Width, 40);
    ReleaseScene(scene);
    ReleaseScene(scene);
    EXPECT_TRUE(scene.Field.Cells.empty());
    EXPECT_TRUE(scene.WriggletList.empty());
}

// A stop request answered at the n-th question ends the set-up there and leaves an empty
// scene; one that never comes leaves the same scene as no request at all.
TEST(SceneSetup, AStopRequestEndsTheSetUpWithAnEmptyScene) {
    const SaverSettings settings = fixtures::MakeSettings(3);
    fixtures::SeededScene plain;
    fixtures::MakeSeededScene(plain, settings, 200, 150, 5);
    for (const int stopAt : {0, 100, 300, -1}) {  // in the grid, in the tiling, never
        SCOPED_TRACE(stopAt);
        int asked = 0;
        SceneState scene;
        scene.Generator.TimeOfDay = FixedTimeOfDay(5);
        Randomize(scene.Generator);
        const bool complete =
            SceneSetup(scene, settings, 200, 150, nullptr, nullptr, [&] { return asked++ == stopAt; });
        EXPECT_EQ(complete, stopAt < 0);
        EXPECT_EQ(scene.ActiveCount, complete ? 64 : 0);
        EXPECT_EQ(scene.Field.Cells, complete ? plain.Scene.Field.Cells : std::vector<FieldCell>{});
    }
}

// The intervals themselves are the session's answers (scene_session_test).
TEST(SceneTimer, OnlyTurboTakesSeveralStepsATick) {
    EXPECT_EQ(StepsPerTick(3), 4);
    EXPECT_EQ(StepsPerTick(2), 1);
    EXPECT_EQ(StepsPerTick(1), 1);
    EXPECT_EQ(StepsPerTick(0), 1);
}

}  // namespace
}  // namespace wrigglet
