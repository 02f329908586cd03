// The tick clock: when each front end's next tick is due after the session's answers.
#include "core/tick_clock.h"

#include <gtest/gtest.h>

namespace wrigglet {
namespace {

using std::chrono::milliseconds;

// A verb run at `at` ms that answered `answer` ms; `due` is when the next tick is then due
// (-1: none).
struct Step {
    enum Verb { Start, Tick, Resume } verb;
    int at, answer, due;
};

struct ClockCase {
    const char* name;
    std::vector<Step> steps;
};

TEST(TickClock, EachAnswerSetsTheNextTickWithoutMakingUpLateOnes) {
    const TickTime zero{};
    const ClockCase cases[] = {
        {"on time: each tick one interval after the last was due",
         {{Step::Start, 0, 40, 40}, {Step::Tick, 41, 40, 80}, {Step::Tick, 83, 40, 120}}},
        {"late: the next is due now, the missed ones are not made up",
         {{Step::Start, 0, 40, 40}, {Step::Tick, 200, 40, 200}, {Step::Tick, 201, 40, 240}}},
        {"a new interval counts from when the last tick was due",
         {{Step::Start, 0, 40, 40}, {Step::Tick, 45, 80, 120}}},
        {"0: no tick wanted, and none after a resume",
         {{Step::Start, 0, 40, 40}, {Step::Tick, 40, 0, -1}, {Step::Resume, 500, 0, -1}}},
        {"a new opening or layout counts from now, not from the last tick",
         {{Step::Start, 0, 40, 40}, {Step::Start, 500, 80, 580}}},
        {"a resume after a pause: one interval from now, no burst of ticks",
         {{Step::Start, 0, 40, 40}, {Step::Resume, 1000, 0, 1040}, {Step::Tick, 1040, 40, 1080}}},
        {"an opening that wants no tick", {{Step::Start, 0, 0, -1}}},
    };
    for (const ClockCase& c : cases) {
        TickClock clock;
        for (const Step& s : c.steps) {
            const TickTime now = zero + milliseconds(s.at);
            const auto answer = static_cast<uint32_t>(s.answer);
            if (s.verb == Step::Start) StartTickClock(clock, answer, now);
            if (s.verb == Step::Tick) ScheduleNextTick(clock, answer, now);
            if (s.verb == Step::Resume) ResumeTickClock(clock, now);
            if (s.due < 0) {
                EXPECT_FALSE(clock.Due.has_value()) << c.name << " at " << s.at;
                EXPECT_FALSE(TimeToTick(clock, now).has_value()) << c.name;
                continue;
            }
            ASSERT_TRUE(clock.Due.has_value()) << c.name << " at " << s.at;
            EXPECT_EQ(*clock.Due - zero, milliseconds(s.due)) << c.name << " at " << s.at;
            EXPECT_EQ(TimeToTick(clock, now), milliseconds(s.due - s.at)) << c.name;
            EXPECT_EQ(TickDue(clock, now), s.due == s.at) << c.name;
            EXPECT_TRUE(TickDue(clock, *clock.Due)) << c.name;
        }
    }
}

}  // namespace
}  // namespace wrigglet
