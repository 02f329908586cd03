// The saver's random generator.
#include "core/random.h"

#include <chrono>

namespace wrigglet {

uint32_t SystemTimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const auto msToday = duration_cast<milliseconds>(now).count() % (24LL * 60 * 60 * 1000);
    return static_cast<uint32_t>(msToday);
}

void Randomize(RandomGenerator& generator) {
    generator.Seed = generator.TimeOfDay ? generator.TimeOfDay() : SystemTimeOfDay();
}

uint32_t Random(RandomGenerator& generator, uint32_t n) {
    generator.Seed = generator.Seed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(generator.Seed) * n) >> 32);
}

TimeOfDaySource FixedTimeOfDay(uint32_t seed) {
    return [seed] { return seed; };
}

}  // namespace wrigglet
