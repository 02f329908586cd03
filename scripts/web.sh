#!/usr/bin/env bash
# Builds the page (the web preset: the site in build/web) and serves it with Python's static
# server at http://localhost:${WRIGGLET_WEB_PORT:-8000}/ until Ctrl-C. Installs the Debian
# packages it misses; safe to run again.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh

ensure_packages cmake ninja-build g++ "${WEB_PACKAGES[@]}"
build_preset web
port=${WRIGGLET_WEB_PORT:-8000}
echo "Serving build/web at http://localhost:$port/ (Ctrl-C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
