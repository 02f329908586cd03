// The saver's one random generator: a 32-bit linear congruential sequence whose
// seed comes from the time of day, with the clock injectable so a run can be repeated.
#pragma once

#include <cstdint>
#include <functional>

namespace wrigglet {

// Milliseconds since midnight UTC: ((hour * 60 + minute) * 60 + second) * 1000 + ms.
using TimeOfDaySource = std::function<uint32_t()>;

// The system clock's time of day (UTC).
uint32_t SystemTimeOfDay();

struct RandomGenerator {
    uint32_t Seed = 0;
    TimeOfDaySource TimeOfDay = SystemTimeOfDay;
};

// Seeds the generator from its time-of-day source.
void Randomize(RandomGenerator& generator);

// A uniform integer 0..n-1: seed := seed * 134775813 + 1, result = high 32 bits of seed * n.
uint32_t Random(RandomGenerator& generator, uint32_t n);

// A time-of-day source that always answers `seed`, so every Randomize gives the same sequence.
TimeOfDaySource FixedTimeOfDay(uint32_t seed);

}  // namespace wrigglet
