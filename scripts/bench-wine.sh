#!/usr/bin/env bash
# The saver's performance under Wine, in a virtual X server: the time from process start to
# the first frame beside that of a bare topmost black window started the same way in the
# same run (so the figure is a ratio, whatever else loads the machine), the peak memory at
# 1920x1080, 3840x2160 and 7680x4320, and at 1920x1080 with Lots and Turbo, on one monitor
# and on two side by side (2x1920x1080), the CPU time, presents, rectangles, GDI calls and
# pixels sent per tick. Not part of the test command; figures only, nothing passes or fails
# on them. (The two-monitor run starts Xorg, which needs root.)
#
# Usage: scripts/bench-wine.sh [SECONDS] [ROUNDS]   (the length of each tick measurement,
#        default 10; start-ups per screen, default 5, reported as medians)
# BENCH_SAVER=PATH measures another build of the saver (e.g. an older one) the same way;
# BENCH_SCREENS="WxH ..." picks the screens. BENCH_DESKTOP=1 turns Desktop on; the saver's
# first frame is then the moment its first wrigglets show at the primary's centre (its
# first picture looks like the desktop), and BENCH_FIRST=wrigglets takes that moment with
# Desktop off too.
# Works in build/bench (its own Wine prefix, kept between runs) and prints a summary.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-workplace.sh

seconds=${1:-10}
rounds=${2:-5}

wine_workplace bench
[ -n "${BENCH_SAVER:-}" ] && export E2E_SAVER=$BENCH_SAVER

desktop=${BENCH_DESKTOP:-0}
first=${BENCH_FIRST:-corner}
[ "$desktop" = 1 ] && first=wrigglets

# The saver's first frame on a primary of WxH: its corner turns black (Desktop off), or
# wrigglets show at its centre.
first_frame() {  # PRIMARY
    local w=${1%x*} h=${1#*x}
    if [ "$first" = wrigglets ]; then
        echo "expect-pixels $((w / 2 - 64)),$((h / 2 - 64)),128,128 head 1 120000"
    else
        echo "expect-pixels 0,0,16,16 black all 120000"
    fi
}

# Lots, Turbo, Text on, over a gradient. Each round starts the bare window, then the saver.
write_scenario() {  # FILE SCREEN MEASUREMENTS PRIMARY
    {
        lots_turbo_stage "$2" "$desktop"
        echo "load-picture picture.ppm"
        for round in $(seq "$rounds"); do
            echo "launch-host B$round bare"
            echo "expect-pixels 0,0,16,16 black all 120000"
            echo "terminate B$round"
            echo "expect-pixels 0,0,16,16 picture all 120000"
            echo "launch S$round /s"
            first_frame "$4"
            echo "find-window S$round S$round screensaver"
            echo "expect-readout S$round WriggletTimerMessages 5 60000"
            [ "$round" = 1 ] && for _ in $(seq "$3"); do echo "measure S1 S1 $((seconds * 1000))"; done
            [ "$round" = 1 ] && echo "measure S1 S1 100"  # the memory after set-up
            echo "post S$round WM_CLOSE"
            echo "expect-exit S$round 0"
        done
    } >"$1"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }

mkdir -p build/bench/scenarios
summary=build/bench/summary.txt
: >"$summary"
for screen in ${BENCH_SCREENS:-1920x1080 2x1920x1080 3840x2160 7680x4320}; do
    measurements=0
    [ "${screen#2x}" = 1920x1080 ] && measurements=3
    file=build/bench/scenarios/bench_$screen.probe
    case $screen in
        2x*) write_scenario "$file" "${screen#2x}+0+0 ${screen#2x}+${screen%%x*}+0" "$measurements" "${screen#2x}" ;;
        *)   write_scenario "$file" "${screen}x24" "$measurements" "$screen" ;;
    esac
    echo "== $screen"
    log=build/bench/bench_$screen.log
    E2E_PROBE_TIMEOUT=900 tests/e2e/run-scenario.sh "$file" >"$log" 2>&1 || fail "the $screen run failed; see $log"
    times=$(grep -A1 -E 'expect-pixels (0,0,16,16 black|[0-9,]+ head 1 )' "$log" | sed -n 's/.*after \([0-9]*\) ms.*/\1/p')
    bare=$(echo "$times" | awk 'NR % 2 == 1' | median)
    saver=$(echo "$times" | awk 'NR % 2 == 0' | median)
    # Each round's difference, so a moment of load elsewhere on the machine counts once.
    difference=$(echo "$times" | paste - - | awk '{ print $2 - $1 }' | median)
    echo "$screen (Desktop $desktop, first frame: $first): process start to first frame, median of $rounds: bare window ${bare} ms, saver ${saver} ms," \
         "saver - bare ${difference} ms (rounds, bare then saver: $(echo $times))" | tee -a "$summary"
    grep 'measure:' "$log" | sed "s/^ *measure:/$screen ticks:/" | tee -a "$summary"
done
echo "Summary in $summary"
