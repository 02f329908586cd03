// The cosine blend's weights and its exact rounding, against the extended-precision formulas
// wherever long double is the x87 type.
#include "core/octave_blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/noise_field.h"
#include "oracle.h"

namespace wrigglet {
namespace {

TEST(CosineWeight, MatchesTheHalfCosineTable) {
    struct Case {
        int32_t k, h;
        double expected, tolerance;
    };
    const Case cases[] = {
        {0, 4, 0.0, 0.0},
        {2, 4, 0.5, 0.0},
        {4, 4, 1.0, 0.0},
        {32, 64, 0.5, 0.0},
        {16, 32, 0.5, 0.0},
        {1, 4, 0.1464466094, 1e-10},
        {3, 4, 0.8535533905, 1e-10},
        {1, 64, 0.000602271897, 1e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "weight(" << c.k << ", " << c.h << ")");
        if (c.tolerance == 0.0)
            EXPECT_EQ(CosineWeight(c.k, c.h), c.expected);
        else
            EXPECT_NEAR(CosineWeight(c.k, c.h), c.expected, c.tolerance);
    }
}

TEST(BlendCells, RoundsHalvesToEven) {
    struct Case {
        int32_t a, b;
        double w;
        int32_t expected;
    };
    const Case cases[] = {
        {2, 3, 0.5, 2},     {1, 2, 0.5, 2},     {3, 4, 0.5, 4},     {0, 1, 0.5, 0},
        {5, 5, 0.3, 5},     {0, 511, 1.0, 511}, {511, 0, 0.0, 511}, {10, 20, 0.25, 12},
        {11, 21, 0.25, 14}, {10, 20, 0.26, 13}, {10, 20, 0.24, 12},
    };
    for (const Case& c : cases) EXPECT_EQ(BlendCells(c.a, c.b, c.w), c.expected) << c.a << "," << c.b << "," << c.w;
}

// With cells far above the noise's, each of the three roundings to 64 bits decides a result
// (the x87 unit's): (1 - w) * a, w * b, their sum. Rounded once, exactly, each would differ by 1.
TEST(BlendCells, RoundsEachStepToASixtyFourBitMantissa) {
    struct Case {
        const char* step;
        int32_t a, b;
        double w;
        int32_t expected;
    };
    const Case cases[] = {
        {"(1 - w) * a", 1610612735, 1610612738, 0x1.000000004p-1, 1610612736},
        {"w * b", 1073741822, 1073741825, 0x1.ffffffffcp-2, 1073741824},
        {"the sum", 1073741824, 1073741825, 0x1.000000008p-1, 1073741824},
    };
    for (const Case& c : cases) EXPECT_EQ(BlendCells(c.a, c.b, c.w), c.expected) << c.step;
}

#if LDBL_MANT_DIG == 64
// Here long double evaluates the defining formulas themselves: the reference's weight, and
// this blend (the reference's own rounds with nearbyintl, which is ten times slower).
int32_t ExtendedBlend(int32_t a, int32_t b, double w) {
    const long double lw = w;
    return static_cast<int32_t>(std::lrint((1.0L - lw) * a + lw * b));
}

TEST(CosineWeight, EqualsTheExtendedPrecisionFormulaAtEveryStep) {
    for (int32_t octave = FirstOctave; octave <= LastOctave; ++octave) {
        const int32_t h = OctaveSpacing[octave];
        for (int32_t k = 0; k <= h; ++k) EXPECT_EQ(CosineWeight(k, h), oracle::Weight(k, h)) << k << "/" << h;
    }
}

// Every spacing, step and pair of cells an octave can meet (lattice and row values 0..8h-1),
// through the generator's row blend and through the exact blend alone.
TEST(BlendRows, EqualsTheExtendedPrecisionBlendForEveryPairOfCells) {
    for (int32_t octave = FirstOctave; octave <= LastOctave; ++octave) {
        const int32_t h = OctaveSpacing[octave], cells = 8 * h;
        const BlendTable table = MakeBlendTable(h);
        std::vector<int16_t> a(cells), b(cells);
        std::iota(b.begin(), b.end(), int16_t{0});
        std::vector<int32_t> out(cells);
        for (int32_t k = 0; k <= h; ++k) {
            const double w = CosineWeight(k, h);
            for (int32_t first = 0; first < cells; ++first) {
                std::fill(a.begin(), a.end(), static_cast<int16_t>(first));
                BlendRows(table, a.data(), b.data(), out.data(), cells, k);
                for (int32_t second = 0; second < cells; ++second) {
                    const int32_t expected = ExtendedBlend(first, second, w);
                    if (out[second] == expected && BlendCells(first, second, w) == expected) continue;
                    ADD_FAILURE() << "spacing " << h << ", step " << k << ", cells " << first << " and " << second
                                  << ": rows " << out[second] << ", exact " << BlendCells(first, second, w)
                                  << ", formula " << expected;
                    return;
                }
            }
        }
    }
}
#endif

}  // namespace
}  // namespace wrigglet
