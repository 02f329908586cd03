#!/usr/bin/env bash
# Builds the page (the web preset: the site in build/web) and serves it with Python's static
# server at http://localhost:${WRIGGLET_WEB_PORT:-8000}/ until Ctrl-C. Installs the Debian
# packages it misses; safe to run again.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/packages.sh

fail() { echo "error: $*" >&2; exit 1; }

scripts/ensure-packages.sh cmake ninja-build g++ "${WEB_PACKAGES[@]}" || fail "could not install the packages the page needs"
mkdir -p build
cmake --preset web >build/configure-web.log 2>&1 || fail "configuring web failed; see build/configure-web.log"
cmake --build --preset web -j 2 >build/build-web.log 2>&1 || fail "building web failed; see build/build-web.log"
port=${WRIGGLET_WEB_PORT:-8000}
echo "Serving build/web at http://localhost:$port/ (Ctrl-C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
