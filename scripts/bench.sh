#!/usr/bin/env bash
# Builds the native preset and runs the benchmarks (noise field, scene set-up, wrigglet
# step, each beside the reference transcription). Extra arguments go to Google Benchmark,
# e.g. scripts/bench.sh --benchmark_filter=SceneSetup
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages "${NATIVE_PACKAGES[@]}"
build_preset native wrigglet_bench
exec build/native/bench/wrigglet_bench --benchmark_counters_tabular=true "$@"
