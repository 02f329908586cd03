#!/usr/bin/env bash
# Builds the native preset and runs the benchmarks (noise field, scene set-up, wrigglet
# step, each beside the reference transcription). Extra arguments go to Google Benchmark,
# e.g. scripts/bench.sh --benchmark_filter=SceneSetup
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${NATIVE_PACKAGES[@]}"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target wrigglet_bench >/dev/null
exec build/native/bench/wrigglet_bench --benchmark_counters_tabular=true "$@"
