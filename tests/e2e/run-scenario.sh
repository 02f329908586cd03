#!/usr/bin/env bash
# Runs one end-to-end scenario: a fresh copy of the template Wine prefix, a private X server,
# the saver and the test doubles in a work directory, and the probe reading the scenario.
#
# Usage: run-scenario.sh SCENARIO.probe
# Environment (set by tests/e2e/CMakeLists.txt): E2E_SAVER, E2E_BIN, E2E_TEMPLATE, E2E_WORK,
# E2E_SIM; E2E_PROBE_TIMEOUT (seconds, default 200) for longer runs such as the soak.
# The scripts that run the saver outside the test command set them with wine_workplace.
#
# Header lines in the scenario, read here before the probe starts:
#   #@ doubles: password mpr    copy these test doubles into the prefix's system folder,
#                               where the saver loads them (mpr also makes Wine prefer the
#                               copy to its own MPR.DLL)
#   #@ planted: winmm password mpr
#                               plant these doubles beside the saver, with Wine preferring
#                               native copies of WINMM.DLL and MPR.DLL, as Windows treats
#                               DLLs outside its protected list
#   #@ setup: installers        copies the x64 installer (setup.exe) and an older version of
#                               it (setup-older.exe) into app/; the probe reads their
#                               versions as {env:E2E_VERSION} and {env:E2E_OLDER_VERSION}.
#                               With `signed` after it, also the installer signed by the
#                               signing test (setup-signed.exe, from E2E_SETUP_SIGNED)
#   #@ family: win98            the older Windows family, through Wine's per-program Version
#   #@ screen: 640x480x24       the virtual screen's size and depth (default 1024x768x24)
#   #@ dpi: 192                 the display's scale in dots per inch (default 96), as the
#                               display settings set it (LogPixels)
#   #@ monitors: WxH+X+Y ...    several monitors instead (X positions, the primary first):
#                               Xorg with the dummy driver instead of Xvfb (needs root);
#                               the screen's size is then the layout's bounding box.
#                               The scenario may then change the X server while the saver
#                               runs: `write-file host-request.txt "COMMAND"` runs COMMAND
#                               here (e.g. xrandr), and a line in host-done.txt says it is
#                               done (`expect-lines host-done.txt N`)
#   #@ picture: gradient|blocks a known picture of the screen's size, as picture.png and
#                               picture.ppm in app/, for the probe's show-picture
#   #@ sim: ARGS...             runs wrigglet-sim ARGS --png sim.png in app/ (after the
#                               picture, so ARGS may say --background picture.png) and keeps
#                               the frame as sim.ppm for the probe's load-picture
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/x-servers.sh"
source "$scripts/wine-workplace.sh"

scenario=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
name=$(basename "$scenario" .probe)
work=${E2E_WORK:?E2E_WORK is not set}/$name
saver=${E2E_SAVER:?E2E_SAVER is not set}
[ -d "${E2E_TEMPLATE:?}" ] || fail "no template prefix at $E2E_TEMPLATE (run the e2e.prefix test)"

header() { sed -n "s/^#@ *$1: *//p" "$scenario" | head -n 1; }

rm -rf "$work"
mkdir -p "$work/app"
cp "$saver" "$E2E_BIN/probe.exe" "$work/app/"
cp "$scenario" "$work/app/scenario.probe"
if [ -n "$(header setup)" ]; then
    cp "${E2E_SETUP:?}" "$work/app/setup.exe" && cp "${E2E_SETUP_OLDER:?}" "$work/app/setup-older.exe" \
        || fail "the installers are missing (build the win64 preset)"
fi
if [[ " $(header setup) " == *" signed "* ]]; then
    cp "${E2E_SETUP_SIGNED:?}" "$work/app/setup-signed.exe" || fail "no signed installer (run the installer.signing test)"
fi
cp -a --reflink=auto "$E2E_TEMPLATE" "$work/prefix" || fail "cannot copy the prefix"

# copy_doubles DIR NAME...: the named test doubles into DIR.
copy_doubles() {
    local dir=$1 double; shift
    for double in "$@"; do
        case $double in
            password) cp "$E2E_BIN/PASSWORD.CPL" "$dir/" ;;
            mpr)      cp "$E2E_BIN/MPR.DLL" "$dir/" ;;
            winmm)    cp "$E2E_BIN/WINMM.DLL" "$dir/" ;;
            *) fail "unknown test double '$double'" ;;
        esac
    done
}
# shellcheck disable=SC2046  # the header's words are the doubles' names
copy_doubles "$work/prefix/drive_c/windows/system32" $(header doubles)
# shellcheck disable=SC2046
copy_doubles "$work/app" $(header planted)
if [ -n "$(header planted)" ]; then
    export WINEDLLOVERRIDES_EXTRA="winmm=n,b;mpr=n,b"
elif [[ " $(header doubles) " == *" mpr "* ]]; then
    export WINEDLLOVERRIDES_EXTRA="mpr=n,b"
fi
screen=$(header screen)
[ -n "$screen" ] && export E2E_SCREEN=$screen
trap 'stop_wine; stop_xvfb; stop_xorg' EXIT
monitors=$(header monitors)
if [ -n "$monitors" ]; then
    start_xorg "$work" "$monitors"
else
    start_xvfb "$work"
fi
wine_env "$work/prefix"

picture=$(header picture)
if [ -n "$picture" ]; then
    make_picture "$picture" "$work/app" >"$work/picture.log" 2>&1 \
        || fail "cannot make the '$picture' picture (see $work/picture.log)"
fi

sim_args=$(header sim)
if [ -n "$sim_args" ]; then
    [ -x "${E2E_SIM:-}" ] || fail "no wrigglet-sim at '${E2E_SIM:-}' (build the native preset first)"
    # shellcheck disable=SC2086  # the header's words are the simulator's arguments
    (cd "$work/app" && "$E2E_SIM" $sim_args --png sim.png && convert sim.png -strip -depth 8 ppm:sim.ppm) \
        >"$work/sim.log" 2>&1 || fail "wrigglet-sim failed (see $work/sim.log)"
fi

dpi=$(header dpi)
if [ -n "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >"$work/reg-dpi.log" 2>&1 \
        || fail "cannot set the display's scale (see $work/reg-dpi.log)"
fi

family=$(header family)
if [ -n "$family" ]; then
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$saver")" /v Version /d "$family" /f \
        >"$work/reg.log" 2>&1 || fail "cannot set the Windows version (see $work/reg.log)"
fi

# Wine neither reports the end of a Unix program it starts nor passes its exit code back,
# so host commands are run here, on the scenario's request.
serve_host_requests() {
    while :; do
        if [ -s host-request.txt ]; then
            local request
            request=$(tr -d '\r' <host-request.txt)
            rm -f host-request.txt
            echo "\$ $request" >>"$work/host.log"
            bash -c "$request" >>"$work/host.log" 2>&1
            echo "done $?" >>host-done.txt
        fi
        sleep 0.1
    done
}

echo "== $name on $DISPLAY, work directory $work"
cd "$work/app"
if [ -n "$monitors" ]; then
    serve_host_requests &
    HOST_SERVER_PID=$!
    trap 'kill "$HOST_SERVER_PID" 2>/dev/null; stop_wine; stop_xvfb; stop_xorg' EXIT
fi
limit=${E2E_PROBE_TIMEOUT:-200}
timeout "$limit" wine probe.exe --saver "$(basename "$saver")" scenario.probe 2>"$work/wine-stderr.log"
status=$?
[ $status -eq 124 ] && echo "error: the probe did not finish within $limit s"
if [ $status -eq 0 ]; then
    stop_wine
    rm -rf "$work/prefix"  # 700 MB; kept only when the scenario fails
fi
exit $status
