#!/usr/bin/env bash
# wrigglet-wayland's scenarios under a private headless GNOME Shell, one per ctest test:
# gnome-scenarios.sh NAME (what ctest passes: scenario-helpers.sh). A frame is compared with
# wrigglet-sim's for the same layout, settings and seed, pixel for pixel, in the Shell's own
# screenshots; input comes through mutter's remote-desktop interface, as a remote user's would
# (gnome-env.sh). A new scenario is a scenario_NAME function here and NAME in CMakeLists.txt.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wayland/gnome-env.sh
source "$HERE/gnome-env.sh"  # start_gnome, stop_gnome, gnome_key, gnome_screenshot, gnome_overview, ...
SCENE_TICKS=60  # a second of frames: each start of this desktop costs a few seconds already
# shellcheck source=tests/wayland/scenario-helpers.sh
source "$HERE/scenario-helpers.sh"  # the saver, the comparisons with wrigglet-sim, the inhibitor

capture_output() {  # N FILE
    gnome_screenshot "$2" "$1"
}

stop_compositor() {
    stop_gnome
}

# gnome_with SIZE...: GNOME Shell with these monitors, left to right, as after a login (the
# Activities overview open).
gnome_with() {
    need gnome-shell gsettings setpriv compare
    "$GNOME_PYTHON" -c 'from gi.repository import Gio' 2>/dev/null || skip "python3-gi is missing (scripts/test.sh installs it)"
    start_gnome "$WORK/gnome" "$@" || fail "no GNOME Shell"
}

# Two monitors, started as after a login, in the Activities overview, which the saver leaves:
# one scene each, as the simulator draws the same monitors, over the whole of them; a key ends it.
scenario_layout() {
    gnome_with 1024x768 800x600
    start_saver "${SCENE[@]}"
    wait_shown 2
    expect_layout 1024x768+0+0,800x600+1024+0 "${SIM_SCENE[@]}"
    gnome_key 30 || fail "cannot send a key"
    expect_ended "a key"
}

# -idle through GNOME's idle monitor (with no bus, nothing tells idleness): no scenes while the
# session manager holds an idle inhibitor; once it goes, the scenes after the idle time, ended by
# a key; with the overview opened meanwhile, the saver leaves it, and a key ends them again.
scenario_idle() {
    gnome_with 1024x768
    DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/none expect_error 1 'nothing tells when the user is idle' -idle 1
    gnome_overview off || fail "cannot close the overview"
    gnome_inhibit 8 || fail "cannot inhibit idleness"
    start_saver -idle 1 "${SCENE[@]}"
    expect_kept_away 3
    gnome_uninhibit || fail "cannot take the inhibitor back"
    wait_shown 1
    gnome_key 30 || fail "cannot send a key"
    gnome_overview on || fail "cannot open the overview"
    wait_shown 2
    expect_frame 1024x768 "${SIM_SCENE[@]}"
    gnome_key 30 || fail "cannot send a key"
    wait_shown 3
    stop_saver TERM
}

# The desktop from the portal, asked as the session's user (it answers no other): with no
# permission set (GNOME's would ask the user), black and a line saying how to allow it; allowed
# so, the desktop, and the portal's file goes.
scenario_portal() {
    local allow
    need busctl
    gnome_with 1024x768
    gnome_overview off || fail "cannot close the overview"
    SAVER_RUNNER=("${SESSION_COMMAND[@]}")
    start_saver -seed 7 -ticks "$SCENE_TICKS" -wrigglets 3 -speed 3
    wait_shown 1
    expect_frame 1024x768 "${SIM_SCENE[@]}"
    allow=$(grep -o "busctl --user call .* 1 yes" "$WORK/saver.err") || fail "no line saying how to allow the portal"
    stop_saver TERM
    as_session_user sh -c "$allow" || fail "$allow failed"
    # The top bar's clock must not turn between the two pictures of the desktop.
    [ "$(date +%-S)" -lt 55 ] || sleep $((61 - $(date +%-S)))
    gnome_screenshot "$WORK/desktop.png" 1 || fail "no screenshot"
    start_saver -seed 7 -ticks "$SCENE_TICKS" -wrigglets 3 -speed 3
    wait_shown 1
    expect_frame 1024x768 "${SIM_SCENE[@]}" --background "$WORK/desktop.png"
    [ -z "$(find "$SESSION_DIR/home" -name '*.png' ! -name screenshot.png)" ] || fail "the portal's picture was left"
    stop_saver TERM
}

"scenario_$1"
