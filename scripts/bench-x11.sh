#!/usr/bin/env bash
# The X11 hack's cost per tick at 1920x1080 with Lots, Turbo and the text on over black (the
# settings scripts/bench-wine.sh measures the Windows saver with), in a virtual X server:
# the CPU time of the hack and of the X server per tick, over TICKS ticks (default 750) after
# the first 250, so the population has grown towards its 512. Not part of the test command;
# figures only, nothing passes or fails on them.
#
# Usage: scripts/bench-x11.sh [TICKS]
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source tests/e2e/wine-env.sh  # start_xvfb, stop_xvfb

fail() { echo "error: $*" >&2; exit 1; }
ticks=${1:-750}
warm=250

scripts/ensure-packages.sh "${NATIVE_PACKAGES[@]}" xvfb || fail "could not install the packages"
cmake --preset native >/dev/null || fail "configuring native failed"
cmake --build --preset native -j 2 >/dev/null || fail "building native failed"

work=build/bench-x11
mkdir -p "$work"
hack=
trap '[ -n "$hack" ] && kill "$hack" 2>/dev/null; stop_xvfb' EXIT
E2E_SCREEN=1920x1080x24 start_xvfb "$work" || fail "no Xvfb"

# CPU seconds (user + system) a process has used so far.
cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"
}

# run N: runs the hack for N ticks and prints its CPU and the server's at the last tick.
run() {
    build/native/src/x11/wrigglet -root -no-desktop -text -wrigglets 3 -speed 3 -seed 7 -ticks "$1" >"$work/hack.out" &
    hack=$!
    local server_before
    server_before=$(cpu_seconds "$XVFB_PID")
    until grep -q ' shown with ' "$work/hack.out"; do
        kill -0 "$hack" 2>/dev/null || fail "the hack ended early"
        sleep 0.05
    done
    echo "$(cpu_seconds "$hack") $(awk -v a="$(cpu_seconds "$XVFB_PID")" -v b="$server_before" 'BEGIN { print a - b }')"
    kill "$hack"; wait "$hack"; hack=
}

read -r hack_short server_short <<<"$(run "$warm")"
read -r hack_long server_long <<<"$(run $((warm + ticks)))"
awk -v n="$ticks" -v h1="$hack_short" -v h2="$hack_long" -v s1="$server_short" -v s2="$server_long" 'BEGIN {
    printf "1920x1080, Lots, Turbo, text on, black: ticks %d..%d\n", 250, 250 + n
    printf "hack CPU per tick:     %.3f ms\n", (h2 - h1) * 1000 / n
    printf "X server CPU per tick: %.3f ms\n", (s2 - s1) * 1000 / n
}' | tee "$work/summary.txt"
