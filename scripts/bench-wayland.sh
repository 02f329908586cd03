#!/usr/bin/env bash
# wrigglet-wayland's figures under a headless sway (pixman renderer), beside the X11 hack's
# under Xvfb in the same run (scripts/bench-x11.sh): the CPU time per tick of the program and
# of the compositor at 1920x1080 with Lots, Turbo and the text on over black, measured as
# bench-x11.sh measures the hack (the difference of two seeded runs of 1, 501, 1001 and 1501
# ticks, so the set-up cancels out); the time from the program's start to its first buffer
# committed (from libwayland's WAYLAND_DEBUG time stamps) at 1920x1080 and on a 3840x2160
# output at scale 2, over black and over the output's own contents (which the program copies
# through the screen copy protocol); and the peak memory (VmHWM) at both sizes. Not part of
# the test command; figures only, nothing passes or fails.
#
# Usage: scripts/bench-wayland.sh
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh
source tests/wayland/sway-env.sh  # start_sway, stop_sway

marks=(1 501 1001 1501)
scene=(-no-desktop -text -wrigglets 3 -speed 3 -seed 7)

ensure_packages "${NATIVE_PACKAGES[@]}" "${WAYLAND_TEST_PACKAGES[@]}" xvfb
build_preset native

work=$PWD/build/bench-wayland
saver_binary=build/native/src/wayland/wrigglet-wayland
rm -rf "$work" && mkdir -p "$work"
: >"$work/summary.txt"
saver=
trap 'stop_process "$saver"; stop_sway' EXIT

# The saver has shown its last tick; fails when it ended before that.
shown() {
    grep -q ' shown on ' "$work/saver.out" && return 0
    process_ended "$saver" && fail "the saver ended early: $(cat "$work/saver.err")"
    return 1
}

wait_shown() {
    wait_for 300 shown || fail "the saver did not show its last tick within 300 s"
}

stop_saver() {
    stop_process "$saver"; saver=
}

# start_fresh: empties the saver's output before a start, since the saver's own redirection
# happens after the fork: shown must not find the line of the run before.
start_fresh() {
    : >"$work/saver.out"
}

# run N: runs the saver for N ticks and prints its CPU and the compositor's at the last tick.
run() {
    start_fresh
    "$saver_binary" "${scene[@]}" -ticks "$1" >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
    local sway_before
    sway_before=$(cpu_seconds "$SWAY_PID")
    wait_shown
    echo "$(cpu_seconds "$saver") $(awk -v a="$(cpu_seconds "$SWAY_PID")" -v b="$sway_before" 'BEGIN { print a - b }')"
    stop_saver
}

# first_frame LABEL ARGUMENTS...: milliseconds from the start to the first buffer committed,
# and the peak memory after 100 ticks. WAYLAND_DEBUG stamps each message with the wall
# clock's microseconds, modulo 2^32.
first_frame() {
    local label=$1 start
    shift
    start_fresh
    start=$(date +%s%6N)
    WAYLAND_DEBUG=client "$saver_binary" "$@" -ticks 100 >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
    wait_shown
    local peak
    peak=$(awk '/^VmHWM/ { print $2 / 1024 }' "/proc/$saver/status")
    stop_saver
    grep -m 1 -E '^\[ *[0-9]+\.[0-9]+\] +-> wl_surface@[0-9]+\.attach\(wl_buffer' "$work/saver.err" |
        sed -E 's/^\[ *([0-9]+)\.([0-9]+)\].*/\1\2/' >"$work/attach.txt"
    [ -s "$work/attach.txt" ] || fail "no buffer attached in $work/saver.err"
    awk -v start="$start" -v attached="$(cat "$work/attach.txt")" -v label="$label" -v peak="$peak" 'BEGIN {
        wrap = 4294967296; ms = ((attached - start % wrap) + wrap) % wrap / 1000
        printf "%s: first buffer committed %.0f ms after the start; peak memory (VmHWM) %.0f MiB\n", label, ms, peak
    }' | tee -a "$work/summary.txt"
}

start_sway "$work/sway" 'output HEADLESS-1 resolution 1920x1080 position 0 0' || fail "no sway"
report_tick_windows "wrigglet-wayland" "sway" "$work/summary.txt" run "${marks[@]}"
first_frame "1920x1080, black" "${scene[@]}"
first_frame "1920x1080, over the copied desktop" -text -wrigglets 3 -speed 3 -seed 7
stop_sway
rm -rf "$work/sway"
start_sway "$work/sway" 'output HEADLESS-1 resolution 3840x2160 position 0 0 scale 2' || fail "no sway"
first_frame "3840x2160 at scale 2, black" "${scene[@]}"
first_frame "3840x2160 at scale 2, over the copied desktop" -text -wrigglets 3 -speed 3 -seed 7
stop_sway

echo "== the X11 hack under Xvfb, in the same run"
scripts/bench-x11.sh || fail "scripts/bench-x11.sh failed"
echo "== summary"
cat "$work/summary.txt" build/bench-x11/summary.txt
