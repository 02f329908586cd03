// The rules of idleness, apart from where it comes from: what the loop is told, and how GNOME's
// idle monitor and session manager together say "idle" (the protocols honour idle inhibitors
// by themselves; GNOME's monitor counts input alone, so the session manager is asked).
#pragma once

namespace wrigglet::wayland {

enum class IdleChange {
    None,  // nothing new since the loop last asked
    Idle,  // the user has been idle for the time asked: show the scenes
    Back,  // the user is back
};

// The user's idleness as the source says it now, and as the loop was last told it.
struct IdleReport {
    bool Idle = false;
    bool Told = false;
};

// The source says the user is idle (true) or back (false).
void SetUserIdle(IdleReport& report, bool idle);

// What changed since the last call. An idleness that came and went between two calls is
// nothing: the user is back already.
IdleChange TakeIdleChange(IdleReport& report);

// GNOME: an idle watch of the monitor fires after the time without input; then the session
// manager is asked whether idleness is inhibited (a video, a presentation). A user-active
// watch, added as the idle one fires, ends an idle or inhibited time.
enum class GnomeIdleStage {
    Waiting,    // for the idle watch to fire
    Asking,     // the session manager whether idleness is inhibited
    Inhibited,  // for input, or for an inhibitor to go (then asking again)
    Idle,       // for input
};

enum class GnomeIdleEvent { IdleFired, ActiveFired, Inhibited, NotInhibited, InhibitorRemoved };

struct GnomeIdleStep {
    GnomeIdleStage Stage = GnomeIdleStage::Waiting;
    bool AskInhibited = false;   // call the session manager's IsInhibited
    bool WatchActivity = false;  // add a user-active watch to the monitor
};

// Where `event` takes `stage`, and what to ask on the bus. An event the stage does not wait
// for (a late answer after input, say) leaves it as it is.
GnomeIdleStep NextGnomeIdleStep(GnomeIdleStage stage, GnomeIdleEvent event);

}  // namespace wrigglet::wayland
