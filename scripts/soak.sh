#!/usr/bin/env bash
# The soak: the saver runs MINUTES (default 10) at Lots and Turbo on a 1920x1080 virtual
# screen under Wine, measured once a minute. It passes when the GDI objects the scene holds
# (its own count: Wine's GetGuiResources answers 0) never change, the working set after the
# first minute grows by less than 4 MB, and every minute has 95% or more of the 25 ticks a
# second of the 40 ms timer. Not part of the test command.
#
# Usage: scripts/soak.sh [MINUTES]   (works in build/soak; its Wine prefix is kept)
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-workplace.sh

minutes=${1:-10}

wine_workplace soak

scenario=build/soak/soak.probe
{
    lots_turbo_opening 1920x1080x24 1
    echo "find-window S S screensaver"
    echo "expect-readout S WriggletTimerMessages 5 60000"
    for _ in $(seq "$minutes"); do echo "measure S S 60000"; done
    echo "expect-running S"
    echo "post S WM_CLOSE"
    echo "expect-exit S 0"
} >"$scenario"

log=build/soak/soak.log
echo "Soaking for $minutes minutes (log: $log)..."
E2E_PROBE_TIMEOUT=$((minutes * 60 + 120)) tests/e2e/run-scenario.sh "$scenario" >"$log" 2>&1 \
    || fail "the soak run failed; see $log"

grep 'measure:' "$log" | awk -v minutes="$minutes" '
    function field(name,   i, kv) {
        for (i = 1; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) return kv[2] + 0 }
        return -1
    }
    {
        ++n
        rate = field("ticks_per_s"); gdi = field("scene_gdi_objects"); ws = field("working_set_kb")
        printf "minute %2d: %.2f ticks/s, %.3f ms CPU/tick, %.2f GDI calls/tick, %d scene GDI objects, working set %d KB\n",
               n, rate, field("cpu_ms_per_tick"), field("gdi_calls_per_tick"), gdi, ws
        if (n == 1) { gdi1 = gdi; ws1 = ws }
        if (gdi != gdi1) bad = bad sprintf("the GDI objects went from %d to %d in minute %d; ", gdi1, gdi, n)
        if (rate < 25 * 0.95) bad = bad sprintf("minute %d ran %.2f ticks/s; ", n, rate)
        wsLast = ws
    }
    END {
        if (n != minutes) bad = bad sprintf("%d of %d minutes measured; ", n, minutes)
        if (wsLast - ws1 >= 4096) bad = bad sprintf("the working set grew by %d KB; ", wsLast - ws1)
        if (bad != "") { print "SOAK FAILED: " bad; exit 1 }
        print "SOAK PASSED"
    }'
