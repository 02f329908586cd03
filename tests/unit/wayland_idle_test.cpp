// wrigglet-wayland's idleness rules: what the loop is told, and GNOME's idle stages.
#include <gtest/gtest.h>

#include "wayland/idle_state.h"

namespace wrigglet::wayland {
namespace {

TEST(IdleReport, TellsEachChangeOnceAndNothingForAnIdlenessAlreadyOver) {
    // Each row: what the source said since the loop last asked, and what the loop hears.
    const struct {
        std::vector<bool> said;
        IdleChange heard;
    } steps[] = {{{true}, IdleChange::Idle},
                 {{}, IdleChange::None},
                 {{false}, IdleChange::Back},
                 {{true, false}, IdleChange::None},
                 {{true, false, true}, IdleChange::Idle}};
    IdleReport report;
    for (const auto& step : steps) {
        for (bool idle : step.said) SetUserIdle(report, idle);
        EXPECT_EQ(TakeIdleChange(report), step.heard) << step.said.size();
    }
}

TEST(GnomeIdle, IdleOnlyWhenTheSessionManagerInhibitsNothing) {
    using S = GnomeIdleStage;
    using E = GnomeIdleEvent;
    const struct {
        S stage;
        E event;
        S next;
        bool ask, watch;
    } rows[] = {
        {S::Waiting, E::IdleFired, S::Asking, true, true},
        {S::Asking, E::NotInhibited, S::Idle, false, false},
        {S::Asking, E::Inhibited, S::Inhibited, false, false},
        {S::Inhibited, E::InhibitorRemoved, S::Asking, true, false},  // the activity watch stays
        {S::Inhibited, E::ActiveFired, S::Waiting, false, false},
        {S::Idle, E::ActiveFired, S::Waiting, false, false},
        {S::Waiting, E::NotInhibited, S::Waiting, false, false},  // an answer after input: stale
        {S::Idle, E::InhibitorRemoved, S::Idle, false, false},
    };
    for (const auto& row : rows) {
        const GnomeIdleStep step = NextGnomeIdleStep(row.stage, row.event);
        EXPECT_EQ(step.Stage, row.next) << int(row.stage) << " " << int(row.event);
        EXPECT_EQ(step.AskInhibited, row.ask) << int(row.stage) << " " << int(row.event);
        EXPECT_EQ(step.WatchActivity, row.watch) << int(row.stage) << " " << int(row.event);
    }
}

}  // namespace
}  // namespace wrigglet::wayland
