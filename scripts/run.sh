#!/usr/bin/env bash
# Builds the 64-bit saver and runs it full screen (/s) under Wine: on your display when
# there is one (any key or click ends it); otherwise, through the end-to-end scenario runner,
# in a virtual X server for WRIGGLET_RUN_SECONDS (default 6) over a desktop picture (Wine's
# own root window is black), leaving a screenshot and printing its path. Installs the Debian
# packages it misses; safe to run again (the Wine prefix build/run/prefix is made once and
# kept; a headless run works on a copy of it).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-workplace.sh

wine_workplace run

if [ -n "${DISPLAY:-}" ]; then
    echo "Running the saver on $DISPLAY; press a key or click to end it."
    wine_env "$E2E_TEMPLATE"
    wine "$E2E_SAVER" /s 2>build/run/wine.log || fail "the saver ended with exit code $?; see build/run/wine.log"
    exit 0
fi

seconds=${WRIGGLET_RUN_SECONDS:-6}
screenshot=$PWD/build/run/wrigglet2004-screenshot.png
cat >build/run/run.probe <<EOF
#@ picture: gradient
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
E2E_PROBE_TIMEOUT=$((seconds + 120)) tests/e2e/run-scenario.sh build/run/run.probe >build/run/run.log 2>&1 \
    || fail "the saver did not run as expected; see build/run/run.log and $E2E_WORK/run/wine-stderr.log"
convert "$E2E_WORK/run/app/screenshot.ppm" "$screenshot" 2>build/run/convert.log \
    || fail "the screenshot failed; see build/run/convert.log"
echo "The saver ran ${seconds}s in a virtual X server over a desktop picture. Screenshot: $screenshot"
