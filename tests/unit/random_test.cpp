#include "core/random.h"

#include <gtest/gtest.h>

namespace wrigglet {
namespace {

TEST(Random, FirstDrawsFollowTheLinearCongruentialRule) {
    RandomGenerator generator;
    generator.TimeOfDay = FixedTimeOfDay(1000);
    Randomize(generator);
    ASSERT_EQ(generator.Seed, 1000u);
    // seed 1000 -> 1000 * 134775813 + 1 (mod 2^32) = 1631826825
    EXPECT_EQ(Random(generator, 1u << 31), 1631826825u >> 1);
    EXPECT_EQ(generator.Seed, 1631826825u);
}

TEST(Random, ResultStaysBelowTheBound) {
    RandomGenerator generator;
    generator.Seed = 0xFFFFFFFFu;
    for (uint32_t n : {1u, 2u, 3u, 8u, 500u, 0xFFFFFFFFu}) {
        for (int i = 0; i < 1000; ++i) EXPECT_LT(Random(generator, n), n);
    }
}

TEST(Random, SystemTimeOfDayIsWithinOneDay) { EXPECT_LT(SystemTimeOfDay(), 24u * 60 * 60 * 1000); }

}  // namespace
}  // namespace wrigglet
