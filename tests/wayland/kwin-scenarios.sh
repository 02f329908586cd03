#!/usr/bin/env bash
# wrigglet-wayland's scenarios under a private headless KWin, one per ctest test:
# kwin-scenarios.sh NAME (what ctest passes: scenario-helpers.sh). A frame is compared with
# wrigglet-sim's for the same layout, settings and seed, pixel for pixel, in KWin's own
# screenshots; input comes through KWin's fake-input protocol (kwin-env.sh). A new scenario is a
# scenario_NAME function here and NAME in CMakeLists.txt.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wayland/kwin-env.sh
source "$HERE/kwin-env.sh"  # start_kwin, stop_kwin, kwin_key, kwin_move, kwin_screenshot, ...
SCENE_TICKS=60  # a second of frames: each start of this desktop costs a few seconds already
# shellcheck source=tests/wayland/scenario-helpers.sh
source "$HERE/scenario-helpers.sh"  # the saver, the comparisons with wrigglet-sim, the inhibitor

capture_output() {  # N FILE
    kwin_screenshot "$2" "$1"
}

stop_compositor() {
    stop_kwin
}

# kwin_with SIZE [COUNT]: KWin with COUNT outputs of SIZE, left to right.
kwin_with() {
    need kwin_wayland setpriv compare
    [ -x "${KWIN_FAKE_INPUT:-}" ] || skip "kwin-fake-input was not built (plasma-wayland-protocols is missing)"
    "$KWIN_PYTHON" -c 'from gi.repository import Gio' 2>/dev/null || skip "python3-gi is missing (scripts/test.sh installs it)"
    start_kwin "$WORK/kwin" "$@" || fail "no KWin"
}

# Two outputs: one scene each, as the simulator draws the same monitors, over a fullscreen window
# that had the keyboard and a notification on the overlay layer; a key ends it.
scenario_layout() {
    kwin_with 1024x768 2
    start_inhibitor fullscreen
    start_bar overlay
    start_saver "${SCENE[@]}"
    wait_shown 2
    expect_layout 1024x768+0+0,1024x768+1024+0 "${SIM_SCENE[@]}"
    kwin_key 30 || fail "cannot send a key"
    expect_ended "a key"
}

# -idle: no scenes while an idle inhibitor holds; once it goes, the scenes after the idle time,
# ended by a key and shown again.
scenario_idle() {
    kwin_with 1024x768
    start_inhibitor
    start_saver -idle 1 "${SCENE[@]}"
    expect_kept_away 3
    stop_inhibitor
    wait_shown 1
    kwin_key 30 || fail "cannot send a key"
    wait_shown 2
    expect_frame 1024x768 "${SIM_SCENE[@]}"
    stop_saver TERM
}

"scenario_$1"
