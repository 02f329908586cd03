#!/usr/bin/env bash
# wrigglet-wayland's scenarios under a private headless sway, one per ctest test:
# wayland-scenarios.sh NAME (what ctest passes: scenario-helpers.sh). A frame is compared with
# wrigglet-sim's for the same layout, settings and seed, pixel for pixel; input comes through
# wayvnc, as a remote user's would.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wayland/sway-env.sh
source "$HERE/sway-env.sh"  # start_sway, stop_sway
# shellcheck source=tests/wayland/scenario-helpers.sh
source "$HERE/scenario-helpers.sh"  # the saver, the comparisons with wrigglet-sim, the inhibitor
VNC_PID=''
TWO_OUTPUTS=('output HEADLESS-1 resolution 1024x768 position 0 0' 'output HEADLESS-2 resolution 800x600 position 1024 0')

capture_output() {  # N FILE
    grim -o "HEADLESS-$1" "$2" && convert "$2" -alpha off "$2"
}

save_compositor_state() {
    swaymsg -t get_tree >"$WORK/tree.json" 2>&1
}

stop_compositor() {
    stop_process "$VNC_PID" KILL
    stop_sway
}

# sway_with N CONFIG-LINES...: sway with these config lines and N headless outputs.
sway_with() {
    local outputs=$1 i
    shift
    need sway swaymsg grim compare setpriv
    start_sway "$WORK/sway" "$@" || fail "no sway"
    for ((i = 1; i < outputs; i++)); do swaymsg create_output >/dev/null || fail "swaymsg create_output failed"; done
}

# The command line and the picture are checked before any display is looked for.
scenario_options() {
    local status
    expect_error 2 '.*usage: wrigglet-wayland ' -speed 4
    "$WRIGGLET_WAYLAND" -help | grep -q 'Sound is not played on Linux' || fail "-help must say that sound is not played"
    expect_error 1 "cannot read '$WORK/none.png'" -picture "$WORK/none.png"
    printf 'not a picture' >"$WORK/broken.png"
    expect_error 1 "cannot read '$WORK/broken.png'" -picture "$WORK/broken.png"
    mkfifo "$WORK/fifo" || fail "no FIFO"
    expect_error 1 "'$WORK/fifo' is not a regular file" -picture "$WORK/fifo"
    mkdir -p "$WORK/empty"
    XDG_RUNTIME_DIR=$WORK/empty WAYLAND_DISPLAY=none expect_error 1 "cannot connect to the Wayland display 'none'"
    env -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY "$WRIGGLET_WAYLAND" 2>"$WORK/err"
    status=$?
    if [ "$status" -ne 1 ] || [ "$(wc -l <"$WORK/err")" -ne 1 ]; then fail "no XDG_RUNTIME_DIR: $(cat "$WORK/err")"; fi
}

# Two outputs: one scene each, seeded by its place in the layout, as the simulator draws the
# same monitors, over everything: a fullscreen window that had the keyboard on the first, a panel
# on the second, and a notification that comes while it shows (sway puts a later surface of the
# same layer beneath). A key ends it.
scenario_layout() {
    sway_with 2 "${TWO_OUTPUTS[@]}"
    start_inhibitor fullscreen
    start_bar top HEADLESS-2
    start_saver "${SCENE[@]}"
    wait_shown 2
    start_bar overlay HEADLESS-1
    expect_layout 1024x768+0+0,800x600+1024+0 "${SIM_SCENE[@]}"
    vnc key:61
    expect_ended "a key"
}

# Sharp on a scaled output: the scene is the output's physical pixels.
scenario_scaled() {
    sway_with 1 'output HEADLESS-1 resolution 1600x1200 position 0 0 scale 2'
    start_saver "${SCENE[@]}"
    wait_shown 1
    expect_frame 1600x1200 "${SIM_SCENE[@]}"
    stop_saver INT
}

# -picture under the trails (and the words), scaled to cover the outputs.
scenario_picture() {
    sway_with 2 "${TWO_OUTPUTS[@]}"
    convert -size 1024x768 gradient:'#0040c0-#00c040' "$WORK/picture.png" || fail "no picture"
    start_saver -seed 7 -ticks 200 -text -wrigglets 3 -speed 3 -picture "$WORK/picture.png"
    wait_shown 2
    expect_frame 1024x768 --text on "${SIM_SCENE[@]}" --background "$WORK/picture.png"
    stop_saver TERM
}

# Without -picture, on sway, the scene starts from what the output shows, which the saver
# copies through the screen copy protocol: a coloured wallpaper on a turned output, so that a
# copy with its colours swapped or turned the wrong way differs from grim's reading of it.
scenario_desktop() {
    local i
    convert -size 64x64 gradient:'#ff0000-#0000ff' \( -size 64x64 gradient:'#000000-#00c000' -rotate 90 \) \
        -compose plus -composite "$WORK/wallpaper.png" || fail "no wallpaper"
    sway_with 1 "output HEADLESS-1 resolution 1024x768 position 0 0 transform 90 bg $WORK/wallpaper.png stretch"
    # swaybg draws the wallpaper a moment after sway starts.
    for i in $(seq 50); do
        grim "$WORK/desktop.png" || fail "grim failed"
        [ "$(convert "$WORK/desktop.png" -format '%[fx:standard_deviation > 0.01]' info:)" = 1 ] && break
        [ "$i" -eq 50 ] && fail "sway never showed the wallpaper"
        sleep 0.1
    done
    start_saver -seed 7 -ticks 200 -wrigglets 3 -speed 3
    wait_shown 1
    expect_frame 768x1024 "${SIM_SCENE[@]}" --background "$WORK/desktop.png"
    stop_saver TERM
}

# vnc EVENT...: input from a remote user through wayvnc on the first output.
vnc() {
    if [ -z "$VNC_PID" ]; then
        need wayvnc python3
        wayvnc -u -o HEADLESS-1 "$WORK/vnc.sock" >"$WORK/wayvnc.log" 2>&1 &
        VNC_PID=$!
        local i
        for i in $(seq 50); do [ -S "$WORK/vnc.sock" ] && break; sleep 0.1; done
    fi
    python3 "$HERE/vnc-input.py" "$WORK/vnc.sock" "$@" || fail "cannot send $* through wayvnc"
}

# A key ends it; so does a pointer move of 5 pixels from where the pointer entered, not one of 4.
scenario_input() {
    sway_with 2 "${TWO_OUTPUTS[@]}"
    vnc move:100,100
    start_saver "${SCENE[@]}"
    wait_shown 2
    vnc key:61
    expect_ended "a key"
    start_saver "${SCENE[@]}"
    wait_shown 2
    vnc move:104,100 move:100,96
    sleep 0.5
    kill -0 "$SAVER_PID" 2>/dev/null || fail "a move of 4 pixels ended the saver"
    vnc move:105,100
    expect_ended "a move of 5 pixels"
}

# -idle: no scenes while an idle inhibitor holds (a playing video); once it goes, the scenes
# after the idle time, ended by a key and shown again; SIGTERM ends the program.
scenario_idle() {
    sway_with 1 'output HEADLESS-1 resolution 1024x768 position 0 0'
    scene_of 60
    vnc move:100,100
    start_inhibitor
    start_saver -idle 1 "${SCENE[@]}"
    expect_kept_away 3
    stop_inhibitor
    wait_shown 1
    vnc key:61
    wait_shown 2
    expect_frame 1024x768 "${SIM_SCENE[@]}"
    stop_saver TERM
}

# An output made while the saver runs gets the next scene.
scenario_output_added() {
    sway_with 2 "${TWO_OUTPUTS[@]}" 'output HEADLESS-3 resolution 640x480 position 0 768'
    start_saver "${SCENE[@]}"
    wait_shown 2
    swaymsg create_output >/dev/null || fail "swaymsg create_output failed"
    wait_shown 3
    expect_layout 1024x768+0+0,800x600+1024+0,640x480+0+768 "${SIM_SCENE[@]}"
    stop_saver TERM
}

# An output that goes takes its scene along; the others go on.
scenario_output_removed() {
    sway_with 2 "${TWO_OUTPUTS[@]}"
    start_saver "${SCENE[@]}"
    wait_shown 2
    swaymsg output HEADLESS-2 disable >/dev/null 2>&1
    swaymsg -t get_outputs | grep -q '"active": false' ||
        skip "this sway cannot disable a headless output ($(sway --version))"
    sleep 0.5
    kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended when an output went"
    expect_frame 1024x768 "${SIM_SCENE[@]}"
    stop_saver TERM
}

"scenario_$1"
