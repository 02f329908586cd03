# What the Wayland scenario tables share (sourced, after the compositor's helpers): running the
# saver, comparing what an output shows with wrigglet-sim's picture, and how the saver ends.
# shellcheck shell=bash
#
# ctest passes WRIGGLET_WAYLAND, WRIGGLET_SIM, WAYLAND_WORK (a scratch directory, made afresh as
# WORK), IDLE_INHIBITOR and KWIN_FAKE_INPUT (the test clients). The table defines:
#   capture_output N FILE     writes what its Nth output (from 1, in the saver's order: the one at
#                             (0,0) first, then from the top down and from the left) shows into
#                             FILE, a PNG without alpha
#   stop_compositor           stops its compositor (the exit trap calls it)
#   save_compositor_state     (optional) writes what may explain a mismatch into WORK
#
#   fail MESSAGE              the test fails, with the saver's standard error
#   skip MESSAGE, need TOOL... (scripts/lib.sh) skip the test (status 77)
#   start_saver ARGUMENT...   starts wrigglet-wayland in the background (SAVER_PID), after the
#                             words in SAVER_RUNNER (none: as the tests' user; a table sets
#                             ("${SESSION_COMMAND[@]}") to run it as its desktop's user)
#   wait_shown N              waits until it has reported its last tick shown N times
#   expect_frame SIZE SIM-ARGUMENTS...
#                             output 1 shows the simulator's picture of SIZE
#   expect_layout LAYOUT SIM-ARGUMENTS...
#                             outputs 1, 2, ... (at LAYOUT's WxH+X+Y, in its order) show their
#                             parts of the simulator's picture of those monitors
#   stop_saver SIGNAL         the signal ends the saver at once, with status 0
#   expect_ended WHAT         WHAT ended the saver at once, with status 0
#   expect_error STATUS PATTERN ARGUMENT...
#                             the saver refuses those arguments with one line matching PATTERN
#   scene_of TICKS            SCENE and SIM_SCENE of that many ticks (SCENE_TICKS: 200 unless set)
#   expect_kept_away SECONDS  the saver runs for that long and shows nothing (a scene of a second
#                             or so would have been reported shown: the idle scenarios use one)
#   start_inhibitor [fullscreen]
#                             maps a window holding an idle inhibitor (zwp_idle_inhibit_manager_v1),
#                             fullscreen if asked (it has the keyboard: the last window mapped)
#   stop_inhibitor            ends it
#   start_bar LAYER [OUTPUT]  a red bar on the layer shell's LAYER (top: a panel's; overlay: a
#                             notification's) of OUTPUT (without: the compositor's choice), from
#                             swaynag (which comes with sway); waits until it shows; it stays

# shellcheck source=scripts/lib.sh
declare -F wait_for >/dev/null || source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

WORK=$WAYLAND_WORK
rm -rf "$WORK" && mkdir -p "$WORK"
SAVER_PID='' INHIBITOR_PID='' BAR_PIDS=''
SAVER_RUNNER=()
# The scene the tables compare, as the saver's options and as the simulator's, of TICKS ticks.
# The ticks follow the outputs' frames (60 a second): a table may set SCENE_TICKS lower to keep
# its tests short.
scene_of() {  # TICKS
    # shellcheck disable=SC2034
    SCENE=(-seed 7 -ticks "$1" -no-desktop -no-text -wrigglets 3 -speed 3)
    # shellcheck disable=SC2034
    SIM_SCENE=(--seed 7 --ticks "$1" --wrigglets 3 --speed 3)
}
scene_of "${SCENE_TICKS:-200}"

cleanup() {
    local pid
    for pid in $SAVER_PID $INHIBITOR_PID $BAR_PIDS; do kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    stop_compositor
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$WORK/saver.err" ] && sed 's/^/saver: /' "$WORK/saver.err" >&2; exit 1; }

start_saver() {
    # Emptied first: the background job's own redirection may come after wait_shown's look.
    : >"$WORK/saver.out"
    "${SAVER_RUNNER[@]}" "$WRIGGLET_WAYLAND" "$@" >"$WORK/saver.out" 2>"$WORK/saver.err" &
    SAVER_PID=$!
}

# Waits until the saver has reported its last tick shown N times (once per output).
wait_shown() {
    local count=$1 _
    for _ in $(seq 600); do
        [ "$(grep -c ' shown on ' "$WORK/saver.out")" -ge "$count" ] && return 0
        kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended before showing its frame"
        sleep 0.1
    done
    fail "the saver never showed its frame"
}

# expect_output N PICTURE: output N shows PICTURE. A capture of a still output may return one
# of the compositor's older frames (sway's headless pixman outputs, when asked for a frame with
# nothing new, hand over a back buffer they did not repaint), so it is read again a few times;
# the saver draws nothing more once its last tick shows, so any capture that matches is its frame.
expect_output() {
    local n=$1 picture=$2 _
    for _ in $(seq 20); do
        capture_output "$n" "$WORK/screen.png" || fail "cannot read output $n"
        DIFFER=$(compare -metric AE "$WORK/screen.png" "$picture" "$WORK/diff.png" 2>&1)
        [ "$DIFFER" = 0 ] && return 0
        sleep 0.25
    done
    declare -F save_compositor_state >/dev/null && save_compositor_state
    return 1
}

# expect_frame SIZE SIM-ARGUMENTS...: output 1 equals the simulator's picture of SIZE.
expect_frame() {
    local size=$1
    shift
    "$WRIGGLET_SIM" --size "$size" "$@" --png "$WORK/sim.png" || fail "wrigglet-sim failed"
    expect_output 1 "$WORK/sim.png" ||
        fail "$DIFFER pixels differ from wrigglet-sim --size $size $* (see $WORK/diff.png)"
}

# expect_layout LAYOUT SIM-ARGUMENTS...: outputs 1, 2, ... (at LAYOUT's WxH+X+Y, in its order)
# show their parts of the simulator's picture of those monitors.
expect_layout() {
    local layout=$1 n=0 monitor
    shift
    "$WRIGGLET_SIM" --monitors "$layout" "$@" --png "$WORK/sim.png" || fail "wrigglet-sim failed"
    for monitor in ${layout//,/ }; do
        n=$((n + 1))
        convert "$WORK/sim.png" -crop "$monitor" +repage "$WORK/part.png" || fail "cannot crop $monitor"
        expect_output "$n" "$WORK/part.png" ||
            fail "$DIFFER pixels of output $n differ from wrigglet-sim --monitors $layout $* (see $WORK/diff.png)"
    done
}

# stop_saver SIGNAL: the saver ends within a second with status 0 and a clean sanitizer log.
stop_saver() {
    kill -s "$1" "$SAVER_PID"
    expect_ended "SIG$1"
}

# expect_ended WHAT: WHAT ended the saver within a second, with status 0.
expect_ended() {
    local start status
    start=$(date +%s%N)
    while kill -0 "$SAVER_PID" 2>/dev/null && [ $(( $(date +%s%N) - start )) -lt 1000000000 ]; do sleep 0.02; done
    kill -0 "$SAVER_PID" 2>/dev/null && fail "$1 did not end the saver within a second"
    wait "$SAVER_PID"; status=$?
    SAVER_PID=
    [ "$status" -eq 0 ] || fail "the saver ended on $1 with status $status"
    grep -qE 'Sanitizer|runtime error' "$WORK/saver.err" && fail "sanitizer report"
    return 0
}

# expect_error STATUS PATTERN ARGUMENTS...: the saver refuses with one line matching PATTERN.
expect_error() {
    local want=$1 pattern=$2 status
    shift 2
    "$WRIGGLET_WAYLAND" "$@" >/dev/null 2>"$WORK/err"; status=$?
    [ "$status" -eq "$want" ] || fail "$* gave status $status, not $want: $(cat "$WORK/err")"
    if [ "$(wc -l <"$WORK/err")" -ne 1 ] || ! grep -qE "^wrigglet-wayland: $pattern" "$WORK/err"; then
        fail "$* must give one line matching '$pattern': $(cat "$WORK/err")"
    fi
}

expect_kept_away() {
    sleep "$1"
    kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended while it waited for idleness"
    if grep -q ' shown on ' "$WORK/saver.out"; then fail "the scenes showed while idleness was inhibited"; fi
}

start_inhibitor() {
    [ -x "${IDLE_INHIBITOR:-}" ] || fail "IDLE_INHIBITOR names no idle-inhibitor client"
    : >"$WORK/inhibitor.out"
    "$IDLE_INHIBITOR" "$@" >"$WORK/inhibitor.out" 2>&1 &
    INHIBITOR_PID=$!
    wait_for 10 grep -q inhibiting "$WORK/inhibitor.out" || fail "no idle inhibitor: $(cat "$WORK/inhibitor.out")"
}

stop_inhibitor() {
    stop_process "$INHIBITOR_PID"
    INHIBITOR_PID=''
}

start_bar() {
    local log=$WORK/bar-$1.log output=()
    need swaynag
    [ -n "${2:-}" ] && output=(-o "$2")
    swaynag -d -y "$1" "${output[@]}" -m covered --background ff0000 >"$log" 2>&1 &
    BAR_PIDS+=" $!"
    wait_for 10 grep -q 'Surface enter' "$log" || fail "no bar on the $1 layer: $(cat "$log")"
}
