// What the loop hears of idleness, and GNOME's idle stages.
#include "wayland/idle_state.h"

namespace wrigglet::wayland {

void SetUserIdle(IdleReport& report, bool idle) { report.Idle = idle; }

IdleChange TakeIdleChange(IdleReport& report) {
    if (report.Idle == report.Told) return IdleChange::None;
    report.Told = report.Idle;
    return report.Idle ? IdleChange::Idle : IdleChange::Back;
}

GnomeIdleStep NextGnomeIdleStep(GnomeIdleStage stage, GnomeIdleEvent event) {
    using Stage = GnomeIdleStage;
    using Event = GnomeIdleEvent;
    if (event == Event::ActiveFired) return {Stage::Waiting};
    switch (stage) {
        case Stage::Waiting:
            if (event == Event::IdleFired) return {Stage::Asking, true, true};
            break;
        case Stage::Asking:
            if (event == Event::Inhibited) return {Stage::Inhibited};
            if (event == Event::NotInhibited) return {Stage::Idle};
            break;
        case Stage::Inhibited:
            // The user has stayed idle all along (input would have ended this stage), so
            // once nothing inhibits any more, the user is idle.
            if (event == Event::InhibitorRemoved) return {Stage::Asking, true, false};
            break;
        case Stage::Idle:
            break;
    }
    return {stage};
}

}  // namespace wrigglet::wayland
