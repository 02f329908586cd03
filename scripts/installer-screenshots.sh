#!/usr/bin/env bash
# Makes the screenshots of the installer's and the uninstaller's pages in docs/
# (installer-*.png): the x64 installer runs under Wine in a virtual X server, driven by the
# end-to-end probe through scripts/installer-screenshots.probe. Builds win64 and installs the
# packages it misses; works in build/screenshots (its Wine prefix is kept).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/wine-workplace.sh

wine_workplace screenshots
version=$(sed -n 's/^project(Wrigglet2004 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
older=$(find "$E2E_BIN" -name 'wrigglet2004-*-setup-x64.exe' 2>/dev/null | head -n 1)
export E2E_SETUP=$PWD/build/win64/wrigglet2004-$version-setup-x64.exe E2E_SETUP_OLDER=$older
if [ ! -f "$E2E_SETUP" ] || [ -z "$older" ]; then
    fail "the installers are missing (see build/build-win64.log)"
fi

rm -rf "$E2E_WORK"
log=build/screenshots/probe.log
tests/e2e/run-scenario.sh scripts/installer-screenshots.probe >"$log" 2>&1 \
    || fail "the installer did not go as expected (see $log)"
# 256 colours are plenty for dialogs and keep the pictures small.
for shot in "$E2E_WORK"/installer-screenshots/app/*.ppm; do
    name=$(basename "$shot" .ppm)
    convert "$shot" -strip -colors 256 -define png:compression-level=9 "png8:docs/installer-$name.png" \
        || fail "cannot convert $shot"
done
rm -rf "$E2E_WORK"
echo "docs/installer-*.png made"
