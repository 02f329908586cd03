#!/usr/bin/env bash
# The saver's performance under Wine, in a virtual X server: the time from process start to
# the first frame at 1920x1080, 3840x2160 and 5120x2880, and at 1920x1080 with Lots and
# Turbo, on one monitor and on two side by side, the CPU time, presents, rectangles, GDI
# calls and pixels sent per tick. Not part of the test command; figures only, nothing
# passes or fails on them. (The two-monitor run starts Xorg, which needs root.)
#
# Usage: scripts/bench-wine.sh [SECONDS]   (the length of each tick measurement, default 10)
# Works in build/bench (its own Wine prefix, kept between runs) and prints a summary.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/wine-workplace.sh
source tests/e2e/wine-env.sh

fail() { echo "error: $*" >&2; exit 1; }
seconds=${1:-10}

wine_workplace bench

# One run: Lots, Turbo, Text on, Desktop off over a gradient, so the first frame is the
# moment the screen's corner turns black.
write_scenario() {  # FILE SCREEN MEASUREMENTS
    {
        lots_turbo_opening "$2" 0
        echo "expect-pixels 0,0,16,16 black all 120000"
        echo "find-window S S screensaver"
        echo "expect-readout S WriggletTimerMessages 5 60000"
        for _ in $(seq "$3"); do echo "measure S S $((seconds * 1000))"; done
        echo "post S WM_CLOSE"
        echo "expect-exit S 0"
    } >"$1"
}

mkdir -p build/bench/scenarios
summary=build/bench/summary.txt
: >"$summary"
for screen in 1920x1080 2x1920x1080 3840x2160 5120x2880; do
    measurements=0
    [ "${screen#2x}" = 1920x1080 ] && measurements=3
    file=build/bench/scenarios/bench_$screen.probe
    case $screen in
        2x*) write_scenario "$file" "1920x1080+0+0 1920x1080+1920+0" "$measurements" ;;
        *)   write_scenario "$file" "${screen}x24" "$measurements" ;;
    esac
    echo "== $screen"
    log=build/bench/bench_$screen.log
    tests/e2e/run-scenario.sh "$file" >"$log" 2>&1 || fail "the $screen run failed; see $log"
    first=$(grep -A1 'expect-pixels 0,0,16,16 black' "$log" | sed -n 's/.*after \([0-9]*\) ms.*/\1/p')
    echo "$screen: process start to first frame ${first} ms" | tee -a "$summary"
    grep 'measure:' "$log" | sed "s/^ *measure:/$screen ticks:/" | tee -a "$summary"
done
echo "Summary in $summary"
