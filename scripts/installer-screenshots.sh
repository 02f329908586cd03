#!/usr/bin/env bash
# Makes the screenshots of the installer's and the uninstaller's pages (docs/installer-*.png)
# and of the saver's settings dialog and About box (docs/saver-*.png), at 96 dots per inch
# and, as NAME-192dpi.png, at 192: the x64 installer runs under Wine in a virtual X server,
# driven by the end-to-end probe through scripts/installer-screenshots.probe. Builds win64
# and installs the packages it misses; works in build/screenshots (its Wine prefix is kept).
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

# shoot DPI SCREEN SUFFIX: plays the probe at that scale on a screen of that size and keeps
# its pictures as docs/installer-NAME[SUFFIX].png (docs/saver-NAME[SUFFIX].png for the
# saver's own dialogs).
shoot() {
    local dpi=$1 screen=$2 suffix=$3 probe=build/screenshots/installer-screenshots.probe
    local log=build/screenshots/probe-$dpi.log shot name
    rm -rf "$E2E_WORK"
    sed -e "s/^#@ screen: .*/#@ screen: $screen\n#@ dpi: $dpi/" scripts/installer-screenshots.probe >"$probe"
    tests/e2e/run-scenario.sh "$probe" >"$log" 2>&1 || fail "the installer did not go as expected (see $log)"
    # 256 colours are plenty for dialogs and keep the pictures small.
    for shot in "$E2E_WORK"/installer-screenshots/app/*.ppm; do
        name=$(basename "$shot" .ppm)
        [[ $name == saver-* ]] || name=installer-$name
        convert "$shot" -strip -colors 256 -define png:compression-level=9 "png8:docs/$name$suffix.png" \
            || fail "cannot convert $shot"
    done
    rm -rf "$E2E_WORK"
}

shoot 96 800x600x24 ""
shoot 192 1280x1024x24 -192dpi
echo "docs/installer-*.png and docs/saver-*.png made, at 96 and 192 dots per inch"
