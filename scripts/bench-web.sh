#!/usr/bin/env bash
# The page's figures beside the native ones, in one run: the step and the tick natively and
# in WebAssembly in headless Chromium (the same source, bench/tick_bench.cpp), load to
# first frame at 1920x1080, the longest task of the page's thread at 1080p and 4K (loading and
# resizing), the page's time per tick and the site's compressed size.
# Builds the native and web presets first; installs the Debian packages it misses.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
build_preset native wrigglet_tick_bench
build_preset web
# Natively before and after the browser's run, so a busy machine shows in the figures.
build/native/bench/wrigglet_tick_bench | sed 's/^/native /'
node bench/web_bench.mjs build
build/native/bench/wrigglet_tick_bench | sed 's/^/native again: /'
