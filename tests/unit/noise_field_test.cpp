#include "core/noise_field.h"

#include <gtest/gtest.h>

#include "oracle.h"
#include "scene_fixtures.h"

namespace wrigglet {
namespace {

struct TileCase {
    int32_t Width, Height;  // arguments, before clamping
    uint32_t Seed;
};

// Cells x = 0..W, y = 0..H of the clamped tile must equal the reference's.
void ExpectTileMatchesReference(const TileCase& c) {
    SCOPED_TRACE(::testing::Message() << c.Width << "x" << c.Height << " seed " << c.Seed);
    FieldGrid grid;
    RandomGenerator random{0, FixedTimeOfDay(c.Seed)};
    GenerateNoiseField(grid, random, c.Width, c.Height);
    oracle::Grid expected;
    RandomGenerator oracleRandom{0, FixedTimeOfDay(c.Seed)};
    oracle::GenerateNoiseField(expected, oracleRandom, 0, 0, c.Width, c.Height);
    const int32_t w = std::min(c.Width, MaxTileWidth);
    const int32_t h = std::min(c.Height, MaxTileHeight);
    for (int32_t y = 0; y <= h; ++y)
        for (int32_t x = 0; x <= w; ++x) ASSERT_EQ(grid.At(x, y), expected.Cell(x, y)) << "cell " << x << "," << y;
    EXPECT_EQ(random.Seed, oracleRandom.Seed) << "the same number of lattice draws";
}

TEST(GenerateNoiseField, MatchesTheReferenceCellForCell) {
    const TileCase cases[] = {
        {512, 384, 1}, {416, 320, 7}, {96, 64, 12345}, {32, 32, 0}, {1, 1, 99}, {33, 65, 5}, {0, 0, 3}, {130, 2, 4},
    };
    for (const TileCase& c : cases) ExpectTileMatchesReference(c);
}

TEST(GenerateNoiseField, MatchesTheReferenceAtTheClampedMaximum) {
    ExpectTileMatchesReference({1024, 768, 424242});
    if (!fixtures::SlowRun) ExpectTileMatchesReference({2000, 1500, 77});
}

TEST(GenerateNoiseField, TileCellsAreShadedBytesAndTheFarEdgeHoldsTheLastOctave) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        FieldGrid grid;
        RandomGenerator random{0, FixedTimeOfDay(seed)};
        GenerateNoiseField(grid, random, 416, 320);
        int32_t tileMax = 0, edgeMax = 0;
        for (int32_t y = 0; y <= 320; ++y) {
            for (int32_t x = 0; x <= 416; ++x) {
                const int32_t v = grid.At(x, y);
                const bool edge = x == 416 || y == 320;
                ASSERT_GE(v, 0);
                ASSERT_LE(v, edge ? 511 : 255) << x << "," << y;
                (edge ? edgeMax : tileMax) = std::max(edge ? edgeMax : tileMax, v);
            }
        }
        EXPECT_GT(tileMax, 150) << "the relief uses the upper half of the range";
        EXPECT_GT(edgeMax, 255) << "the far column and row keep octave 6's 0..511 values";
    }
}

// 416 columns take 8 lattice points per row in octave 6 (a period of 448, not 416).
TEST(GenerateNoiseField, DrawsOneValuePerLatticePointOfOctavesOneToSix) {
    struct Case {
        int32_t w, h;
    };
    for (const Case c : {Case{512, 384}, Case{416, 320}, Case{1, 1}, Case{3000, 3000}}) {
        uint64_t draws = 0;
        const int32_t w = std::min(c.w, MaxTileWidth), h = std::min(c.h, MaxTileHeight);
        for (int32_t octave = 1; octave <= 6; ++octave) {
            const int32_t s = OctaveSpacing[octave];
            draws += static_cast<uint64_t>((w + s - 1) / s + 1) * ((h + s - 1) / s + 1);
        }
        RandomGenerator expected{0, FixedTimeOfDay(55)};
        Randomize(expected);
        for (uint64_t i = 0; i < draws; ++i) Random(expected, 2);
        FieldGrid grid;
        RandomGenerator random{0, FixedTimeOfDay(55)};
        GenerateNoiseField(grid, random, c.w, c.h);
        EXPECT_EQ(random.Seed, expected.Seed) << c.w << "x" << c.h << ": " << draws << " draws";
    }
}

TEST(ShadeRelief, FollowsTheSlopeFormulaWithItsClamps) {
    // A 2 x 1 tile: FieldMax is the larger of cell (0,0) and its right neighbour; the two
    // cells below lie in row H, which is read but neither counted nor shaded.
    struct Case {
        const char* name;
        int32_t f, right, below, diagonal;
        int32_t expected;
    };
    const Case cases[] = {
        {"level", 100, 100, 100, 100, 192},
        {"rising, s capped at 288", 200, 400, 400, 400, 200 * 288 / 400},
        {"f = FieldMax at the cap clamps to 255", 400, 400, 800, 800, 255},
        {"falling steeply clamps to 0", 300, 0, 0, 0, 0},
        {"quotient truncates", 100, 130, 130, 130, 216},  // 100 * 282 / 130 = 216.9
        {"all zero", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        NoiseTile tile;
        ResetNoiseTile(tile, 2, 1);
        tile.At(0, 0) = c.f;
        tile.At(1, 0) = c.right;
        tile.At(0, 1) = c.below;
        tile.At(1, 1) = c.diagonal;
        ShadeRelief(tile);
        EXPECT_EQ(tile.At(0, 0), c.expected) << c.name;
        EXPECT_EQ(tile.At(0, 1), c.below) << "row H is left alone";
    }
}

TEST(ShadeRelief, ALevelFieldGivesTheFlatShade) {
    for (int32_t level : {0, 1, 5115}) {
        NoiseTile tile;
        ResetNoiseTile(tile, 8, 5);
        std::fill(tile.Cells.begin(), tile.Cells.end(), level);
        ShadeRelief(tile);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(tile.At(x, y), level == 0 ? 0 : 192);
        EXPECT_EQ(tile.At(8, 0), level) << "column W is not shaded";
    }
}

TEST(GenerateNoiseField, LeavesCellsOutsideTheTileAlone) {
    FieldGrid grid;
    ResetFieldGrid(grid, 100, 80);
    std::fill(grid.Cells.begin(), grid.Cells.end(), -7);
    RandomGenerator random{0, FixedTimeOfDay(9)};
    GenerateNoiseField(grid, random, 64, 32);
    EXPECT_EQ(grid.Width, 100);
    EXPECT_EQ(grid.At(65, 0), -7);
    EXPECT_EQ(grid.At(0, 33), -7);
    EXPECT_NE(grid.At(64, 32), -7);
}

}  // namespace
}  // namespace wrigglet
