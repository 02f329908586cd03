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

# Two monitors, started as after a login, in the Activities overview: once the overview is left,
# one scene each, as the simulator draws the same monitors, over the whole of them; a key ends it.
scenario_layout() {
    gnome_with 1024x768 800x600
    start_saver "${SCENE[@]}"
    wait_shown 2
    gnome_overview off || fail "cannot close the overview"
    expect_layout 1024x768+0+0,800x600+1024+0 "${SIM_SCENE[@]}"
    gnome_key 30 || fail "cannot send a key"
    expect_ended "a key"
}

"scenario_$1"
