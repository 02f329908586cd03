#!/usr/bin/env bash
# Builds the 64-bit saver and runs it full screen (/s) under Wine: on your display when
# there is one (any key or click ends it); otherwise in a virtual X server for a few
# seconds over a desktop picture (Wine's own root window is black), leaving a screenshot
# and printing its path. Installs the Debian packages it misses; safe to run again (the
# Wine prefix in build/run is made once and kept).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source tests/e2e/wine-env.sh

fail() { echo "error: $*" >&2; exit 1; }

scripts/ensure-packages.sh "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}" \
    || fail "could not install the packages the saver needs"

mkdir -p build/run
cmake --preset win64 >build/run/configure.log 2>&1 || fail "configuring win64 failed; see build/run/configure.log"
cmake --build --preset win64 -j 2 >build/run/build.log 2>&1 || fail "building win64 failed; see build/run/build.log"
saver=$PWD/build/win64/wrigglet2004.scr

seconds=${WRIGGLET_RUN_SECONDS:-6}
screenshot=$PWD/build/run/wrigglet2004-screenshot.png
headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    trap 'stop_wine; stop_xvfb' EXIT
    start_xvfb build/run || fail "the virtual X server (Xvfb) did not start; see build/run/xvfb.log"
fi

wine_env "$PWD/build/run/prefix"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix build/run/prefix (once)..."
    wineboot -i >build/run/wineboot.log 2>&1 && wineserver -w \
        || fail "Wine could not set up its prefix; see build/run/wineboot.log"
fi

if [ $headless -eq 0 ]; then
    echo "Running the saver on $DISPLAY; press a key or click to end it."
    wine "$saver" /s 2>build/run/wine.log
    code=$?
    [ $code -eq 0 ] || fail "the saver ended with exit code $code; see build/run/wine.log"
    exit 0
fi

# Headless, the end-to-end probe shows the harness's gradient picture as the desktop, runs
# the saver over it, and saves the screen while the saver runs.
app=build/run/app
rm -rf "$app" && mkdir -p "$app"
cp "$saver" build/win64/e2e/bin/probe.exe "$app/" || fail "the probe is missing; see build/run/build.log"
make_picture gradient "$app" >build/run/picture.log 2>&1 || fail "the desktop picture failed; see build/run/picture.log"
cat >"$app/run.probe" <<EOF
show-picture Desktop picture.ppm
launch S /s
find-window S S screensaver - 20000
expect-foreground S
sleep $((seconds * 1000))
expect-running S
save-screen screenshot.ppm
key Q
expect-exit S 0
EOF
(cd "$app" && wine probe.exe --saver wrigglet2004.scr run.probe) >build/run/probe.log 2>build/run/wine.log \
    || fail "the saver did not run as expected; see build/run/probe.log and build/run/wine.log"
convert "$app/screenshot.ppm" "$screenshot" 2>build/run/import.log || fail "the screenshot failed; see build/run/import.log"
stop_wine
echo "The saver ran ${seconds}s in a virtual X server ($DISPLAY) over a desktop picture. Screenshot: $screenshot"
