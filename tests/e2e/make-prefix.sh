#!/usr/bin/env bash
# Boots the Wine prefix that every end-to-end scenario copies (wineboot is slow, copying
# is not). Run once per test run by ctest, as the fixture of the scenarios.
# Environment: E2E_TEMPLATE, the prefix directory to make.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/x-servers.sh"
source "$scripts/wine-workplace.sh"

template=${E2E_TEMPLATE:?E2E_TEMPLATE is not set}
logs=$(dirname "$template")/prefix-logs
rm -rf "$template" "$logs"
mkdir -p "$logs"

trap 'stop_wine; stop_xvfb' EXIT
start_xvfb "$logs"
wine_env "$template"

wineboot -i >"$logs/wineboot.log" 2>&1 || fail "wineboot failed (see $logs/wineboot.log)"
# A crash must end the process, not wait for someone to close a dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$logs/wineboot.log" 2>&1
# Let the server write the registry to disk before anyone copies the prefix.
wineserver -w
echo "prefix ready: $template"
