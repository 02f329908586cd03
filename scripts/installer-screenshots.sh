#!/usr/bin/env bash
# Makes the screenshots of the installer's and the uninstaller's pages in docs/
# (installer-*.png): the x64 installer runs under Wine in a virtual X server, driven by the
# end-to-end probe through scripts/installer-screenshots.probe. Needs the win64 build
# (cmake --preset win64 && cmake --build --preset win64). Work files: build/screenshots.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
fail() { echo "error: $*" >&2; exit 1; }

build=$PWD/build/win64
work=$PWD/build/screenshots
version=$(sed -n 's/^project(Wrigglet2004 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
older=$(find "$build/e2e/bin" -name 'wrigglet2004-*-setup-x64.exe' 2>/dev/null | head -n 1)
if [ ! -f "$build/wrigglet2004-$version-setup-x64.exe" ] || [ -z "$older" ]; then
    fail "the installers are missing: build the win64 preset first"
fi
export E2E_SAVER=$build/wrigglet2004.scr E2E_SETUP=$build/wrigglet2004-$version-setup-x64.exe \
    E2E_SETUP_OLDER=$older E2E_BIN=$build/e2e/bin E2E_TEMPLATE=$work/prefix-template E2E_WORK=$work

rm -rf "$work" && mkdir -p "$work"
tests/e2e/make-prefix.sh >"$work/prefix.log" 2>&1 || fail "no Wine prefix (see $work/prefix.log)"
tests/e2e/run-scenario.sh scripts/installer-screenshots.probe >"$work/probe.log" 2>&1 \
    || fail "the installer did not go as expected (see $work/probe.log)"
# 256 colours are plenty for dialogs and keep the pictures small.
for shot in "$work"/installer-screenshots/app/*.ppm; do
    name=$(basename "$shot" .ppm)
    convert "$shot" -strip -colors 256 -define png:compression-level=9 "png8:docs/installer-$name.png" \
        || fail "cannot convert $shot"
done
rm -rf "$work"
echo "docs/installer-*.png made"
