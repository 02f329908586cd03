// When the next tick is due. Every front end's loop asks its platform to wake it then: the
// session answers the milliseconds to the next tick after each verb, and a late tick is not
// made up for, as a platform timer doesn't queue the ticks it missed.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace wrigglet {

using TickTime = std::chrono::steady_clock::time_point;

struct TickClock {
    std::optional<TickTime> Due;            // none: no tick wanted
    std::chrono::milliseconds Interval{0};  // the session's latest answer but 0
};

// The session opened or laid its scenes out again and answered `milliseconds` (0: no tick
// wanted): the next tick is due that long from now.
void StartTickClock(TickClock& clock, uint32_t milliseconds, TickTime now);

// A tick ran and the session answered `milliseconds`: the next tick is due that long after
// the one that ran was due, but never before now.
void ScheduleNextTick(TickClock& clock, uint32_t milliseconds, TickTime now);

// After a pause: the next tick is due one interval from now (none if none was wanted).
void ResumeTickClock(TickClock& clock, TickTime now);

bool TickDue(const TickClock& clock, TickTime now);

// How long to wait for the next tick: zero when it is due, none when no tick is wanted.
std::optional<std::chrono::nanoseconds> TimeToTick(const TickClock& clock, TickTime now);

}  // namespace wrigglet
