// The tick clock's arithmetic.
#include "core/tick_clock.h"

#include <algorithm>

namespace wrigglet {

void StartTickClock(TickClock& clock, uint32_t milliseconds, TickTime now) {
    clock.Due.reset();
    ScheduleNextTick(clock, milliseconds, now);
}

void ScheduleNextTick(TickClock& clock, uint32_t milliseconds, TickTime now) {
    if (milliseconds == 0) {
        clock.Due.reset();
        return;
    }
    clock.Interval = std::chrono::milliseconds(milliseconds);
    clock.Due = std::max(clock.Due.value_or(now) + clock.Interval, now);
}

void ResumeTickClock(TickClock& clock, TickTime now) {
    if (clock.Due) clock.Due = now + clock.Interval;
}

bool TickDue(const TickClock& clock, TickTime now) { return clock.Due && now >= *clock.Due; }

std::optional<std::chrono::nanoseconds> TimeToTick(const TickClock& clock, TickTime now) {
    if (!clock.Due) return std::nullopt;
    return std::max(std::chrono::nanoseconds::zero(), std::chrono::nanoseconds(*clock.Due - now));
}

}  // namespace wrigglet
