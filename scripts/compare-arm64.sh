#!/usr/bin/env bash
# Runs the arm64 wrigglet-sim under qemu-user and the native one with the same arguments, and
# checks that their frames and noise fields are the same byte for byte. Text stays off: the
# words' pixels depend on the fonts installed, not on the core.
# Usage: scripts/compare-arm64.sh [NATIVE_BUILD_DIR [ARM64_BUILD_DIR]]   (build/native, build/arm64)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

native=${1:-build/native}/src/sim/wrigglet-sim
arm64=${2:-build/arm64}/src/sim/wrigglet-sim
emulator=(qemu-aarch64 -L /usr/aarch64-linux-gnu)
for program in "$native" "$arm64"; do
    [ -x "$program" ] || fail "$program is missing; build its preset first"
done

# Sizes on both sides of the clamped 1024 x 768 tile and of the 2048 x 1536 grid, a preview,
# two monitors, every population and speed, the sound draws.
runs=(
    "--size 1920x1080 --seed 1 --ticks 100"
    "--size 2048x1536 --seed 424242 --wrigglets 3 --speed 3 --ticks 40"
    "--size 3840x2160 --seed 4 --wrigglets 3 --ticks 20"
    "--size 800x600 --seed 7 --wrigglets 1 --speed 1 --sound on --ticks 400"
    "--size 152x112 --seed 99 --ticks 300"
    "--size 1366x768 --seed 4294967295 --wrigglets 2 --speed 3 --ticks 150"
    "--monitors 1280x1024+1024+0,1024x768+0+0 --seed 5 --ticks 60"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
different=0
for args in "${runs[@]}"; do
    # shellcheck disable=SC2086  # each run is a list of options
    "$native" $args --text off --png "$work/native.png" --field "$work/native.field"
    # shellcheck disable=SC2086
    "${emulator[@]}" "$arm64" $args --text off --png "$work/arm64.png" --field "$work/arm64.field"
    if cmp -s "$work/native.png" "$work/arm64.png" && cmp -s "$work/native.field" "$work/arm64.field"; then
        echo "same:      $args"
    else
        echo "DIFFERENT: $args"
        different=$((different + 1))
    fi
done
echo "arm64 frames: $((${#runs[@]} - different)) of ${#runs[@]} the same as the native ones"
[ "$different" -eq 0 ]
