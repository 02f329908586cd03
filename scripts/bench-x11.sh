#!/usr/bin/env bash
# The X11 hack's cost per tick at 1920x1080 with Lots, Turbo and the text on over black (the
# settings scripts/bench-wine.sh measures the Windows saver with), in a virtual X server:
# the CPU time of the hack and of the X server per tick over ticks 1..501, 501..1001 and
# 1001..1501 (20 s each; the Wine benchmark measures three 10 s spans from the first
# frame). Each span is the difference of two seeded runs of the same scene, so the set-up
# cancels out (up to its own run-to-run variation, spread over 500 ticks). Not part of
# the test command; figures only, nothing passes or fails on them.
#
# Usage: scripts/bench-x11.sh
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/x-servers.sh  # start_xvfb, stop_xvfb; lib.sh

marks=(1 501 1001 1501)

ensure_packages "${NATIVE_PACKAGES[@]}" xvfb
build_preset native

work=build/bench-x11
mkdir -p "$work"
: >"$work/summary.txt"
hack=
trap 'stop_process "$hack"; stop_xvfb' EXIT
E2E_SCREEN=1920x1080x24 start_xvfb "$work"

# The hack has shown its last tick; fails when it ended before that.
shown() {
    grep -q ' shown with ' "$work/hack.out" && return 0
    process_ended "$hack" && fail "the hack ended early"
    return 1
}

# run N: runs the hack for N ticks and prints its CPU and the server's at the last tick.
run() {
    build/native/src/x11/wrigglet -root -no-desktop -text -wrigglets 3 -speed 3 -seed 7 -ticks "$1" >"$work/hack.out" &
    hack=$!
    local server_before
    server_before=$(cpu_seconds "$XVFB_PID")
    wait_for 300 shown || fail "the hack did not reach tick $1 within 300 s"
    echo "$(cpu_seconds "$hack") $(awk -v a="$(cpu_seconds "$XVFB_PID")" -v b="$server_before" 'BEGIN { print a - b }')"
    stop_process "$hack"; hack=
}

report_tick_windows "hack" "X server" "$work/summary.txt" run "${marks[@]}"
