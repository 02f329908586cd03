#!/usr/bin/env bash
# Builds the page (the web preset: the site in build/web; the native build's simulator draws
# its link preview) and serves it, with the headers the README recommends, at
# http://localhost:${WRIGGLET_WEB_PORT:-8000}/ until Ctrl-C. Installs the Debian packages it
# misses; safe to run again.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
build_preset native wrigglet-sim
build_preset web
exec node scripts/site-server.mjs build/web "${WRIGGLET_WEB_PORT:-8000}"
