#!/usr/bin/env bash
# The hack's scenarios under a private Xvfb, one per ctest test: x11-scenarios.sh NAME.
# ctest passes WRIGGLET, WRIGGLET_SIM, X11_TEST_WINDOW, X11_BUILD (the build directory) and
# X11_WORK (a scratch directory).
# A frame is compared with wrigglet-sim's for the same size, settings and seed, pixel for pixel.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../../scripts/x-servers.sh"  # start_xvfb, start_xorg, their stops, make_picture; lib.sh

WORK=$X11_WORK
rm -rf "$WORK" && mkdir -p "$WORK"
HACK_PID= HELPER_PID= DAEMON_PID=

cleanup() {
    local pid
    for pid in $HACK_PID $HELPER_PID $DAEMON_PID; do stop_process "$pid" KILL; done
    stop_xvfb
    stop_xorg
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$WORK/hack.err" ] && sed 's/^/hack: /' "$WORK/hack.err" >&2; exit 1; }

start_hack() {
    "$WRIGGLET" "$@" >"$WORK/hack.out" 2>"$WORK/hack.err" &
    HACK_PID=$!
}

# shown N: the hack has reported its last tick shown N times (once per scene it built).
shown() {
    [ "$(grep -c ' shown with ' "$WORK/hack.out")" -ge "$1" ] && return 0
    process_ended "$HACK_PID" && fail "the hack ended before showing its frame"
    return 1
}

# Waits until shown N. Then expect_path PATH: it was shown with MIT-SHM or XPutImage.
wait_shown() {
    wait_for 60 shown "$1" || fail "the hack never showed its frame"
}

expect_path() {
    grep -q " shown with $1\$" "$WORK/hack.out" || fail "not drawn with $1: $(tail -n 1 "$WORK/hack.out")"
}

# expect_frame WxH+X+Y SIM-ARGUMENTS...: the screen there equals the simulator's picture
# (of that size, unless the arguments give the monitors).
expect_frame() {
    local area=$1 size=(--size "${1%%+*}")
    shift
    [[ " $* " == *" --monitors "* ]] && size=()
    import -window root -crop "$area" +repage "$WORK/screen.png" || fail "cannot read the screen"
    "$WRIGGLET_SIM" "${size[@]}" "$@" --png "$WORK/sim.png" || fail "wrigglet-sim failed"
    local differ
    differ=$(compare -metric AE "$WORK/screen.png" "$WORK/sim.png" "$WORK/diff.png" 2>&1)
    [ "$differ" = 0 ] || fail "$differ pixels of $area differ from wrigglet-sim $* (see $WORK/diff.png)"
}

# stop_hack SIGNAL: the hack ends within a second with status 0 and a clean sanitizer log.
stop_hack() {
    kill -s "$1" "$HACK_PID"
    local status
    wait_for 1 process_ended "$HACK_PID" || fail "SIG$1 did not end the hack within a second"
    wait "$HACK_PID"; status=$?
    HACK_PID=
    [ "$status" -eq 0 ] || fail "the hack ended on SIG$1 with status $status"
    grep -qE 'Sanitizer|runtime error' "$WORK/hack.err" && fail "sanitizer report"
    return 0
}

# helper ARGUMENTS...: starts the test helper, waits for its line (a window id, or
# "desktop") and leaves it in $WORK/helper.out.
helper() {
    "$X11_TEST_WINDOW" "$@" >"$WORK/helper.out" &
    HELPER_PID=$!
    wait_for 10 test -s "$WORK/helper.out" || fail "the test helper did not start"
}

# Puts make_picture's picture on the root window, as its background.
show_desktop() {
    helper --desktop "$WORK/picture.ppm"
    import -window root "$WORK/desktop.png" || fail "cannot read the screen"
    [ "$(compare -metric AE "$WORK/desktop.png" "$WORK/picture.png" null: 2>&1)" = 0 ] \
        || fail "cannot show the desktop picture"
}

scenario_options() {
    local line status
    "$WRIGGLET" -speed 4 2>"$WORK/err"; status=$?
    [ "$status" -eq 2 ] || fail "-speed 4 gave status $status, not 2"
    [ "$(wc -l <"$WORK/err")" -eq 1 ] && grep -q '^wrigglet: .*usage: wrigglet ' "$WORK/err" \
        || fail "a bad option must give one usage line: $(cat "$WORK/err")"
    "$WRIGGLET" -help | grep -q 'Sound is not played on Linux' || fail "-help must say that sound is not played"
}

# cmake --install puts the hack and its settings where Debian's XScreenSaver looks, and
# every option the settings description can pass is one the hack takes.
scenario_install() {
    cmake --install "$X11_BUILD" --prefix "$WORK/usr" >"$WORK/install.log" || fail "cmake --install failed"
    local hack=$WORK/usr/libexec/xscreensaver/wrigglet xml=$WORK/usr/share/xscreensaver/config/wrigglet.xml
    [ -x "$hack" ] && [ -f "$xml" ] || fail "not installed where XScreenSaver looks: $(find "$WORK/usr" -type f)"
    local arguments
    grep -oE '(arg|arg-set|arg-unset)="[^"]*"' "$xml" | cut -d'"' -f2 >"$WORK/arguments"
    [ "$(wc -l <"$WORK/arguments")" -ge 6 ] || fail "too few options in $xml"
    while read -r arguments; do
        # shellcheck disable=SC2086  # an argument line is split as XScreenSaver splits it
        "$hack" $arguments -help >/dev/null 2>&1 || fail "the hack refuses '$arguments' from $xml"
    done <"$WORK/arguments"
}

# Its own window with MIT-SHM: the frame, then the frame of a new size after a resize, SIGTERM;
# then the window manager's close button ends another one with status 0.
scenario_own_window() {
    E2E_SCREEN=1024x768x24 start_xvfb "$WORK"
    start_hack -seed 7 -ticks 200
    wait_shown 1
    expect_path MIT-SHM
    expect_frame 1024x768+0+0 --seed 7 --ticks 200
    xdotool windowsize "$(xdotool search --name '^wrigglet$')" 640 480 || fail "cannot resize the window"
    wait_shown 2
    expect_frame 640x480+0+0 --seed 7 --ticks 200
    stop_hack TERM
    start_hack -ticks 1 -geometry 320x200
    wait_shown 1
    "$X11_TEST_WINDOW" --close "$(xdotool search --name '^wrigglet$')" || fail "cannot ask the window to close"
    wait_for 5 process_ended "$HACK_PID" || fail "the close button did not end the hack"
    wait "$HACK_PID" || fail "the close button ended the hack with status $?"
    HACK_PID=
}

# -root on a display without MIT-SHM (plain XPutImage), over a known desktop, with the text,
# Lots and Turbo; SIGINT.
scenario_root() {
    E2E_SCREEN=960x540x24 XVFB_ARGS="-extension MIT-SHM" start_xvfb "$WORK"
    E2E_SCREEN=960x540x24 make_picture gradient "$WORK" || fail "no picture"
    show_desktop
    start_hack -root -seed 7 -ticks 200 -text -wrigglets 3 -speed 3
    wait_shown 1
    expect_path XPutImage
    expect_frame 960x540+0+0 --seed 7 --ticks 200 --text on --wrigglets 3 --speed 3 --background "$WORK/picture.png"
    stop_hack INT
}

# -root over two monitors of a real X server (Xvfb has one): one scene per monitor, the
# primary's first, each over its part of the desktop, black between them, as wrigglet-sim
# --monitors draws them. Xorg needs root; elsewhere the scenario is skipped.
scenario_monitors() {
    [ "$(id -u)" -eq 0 ] || { echo "skipped: Xorg with the dummy driver needs root"; exit 77; }
    local layout="800x600+0+0 640x480+800+60"
    start_xorg "$WORK" "$layout"
    [ "$(xrandr --listactivemonitors | head -n 1)" = "Monitors: 2" ] || fail "Xorg shows $(xrandr --listactivemonitors)"
    E2E_SCREEN=1440x600x24 make_picture gradient "$WORK" || fail "no picture"
    show_desktop
    start_hack -root -seed 7 -ticks 200 -wrigglets 3
    wait_shown 1
    expect_frame 1440x600+0+0 --monitors 800x600+0+0,640x480+800+60 --seed 7 --ticks 200 --wrigglets 3 \
        --background "$WORK/picture.png"
    stop_hack TERM
}

# -window-id of a window the test made; the hack ends when that window is destroyed.
scenario_window_id() {
    E2E_SCREEN=1024x768x24 start_xvfb "$WORK"
    helper 800 600
    local window
    window=$(cat "$WORK/helper.out")
    start_hack -window-id "$window" -seed 7 -ticks 200 -wrigglets 1
    wait_shown 1
    expect_frame 800x600+0+0 --seed 7 --ticks 200 --wrigglets 1
    xdotool windowkill "$window"
    wait "$HELPER_PID" 2>/dev/null; HELPER_PID=
    wait_for 5 process_ended "$HACK_PID" || fail "the hack outlived its window"
    wait "$HACK_PID" || fail "the hack ended with status $? when its window went"
    HACK_PID=
}

# XScreenSaver refuses to run hacks as root, so as root the daemon runs as nobody.
as_saver_user() {
    if [ "$(id -u)" -eq 0 ]; then
        HOME=$WORK/home setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        HOME=$WORK/home "$@"
    fi
}

# The hack processes the daemon started: this binary, with this test's HOME.
saver_hacks() {
    local pid
    for pid in $(pgrep -x wrigglet); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$WRIGGLET")" ] \
            && tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$WORK/home" && echo "$pid"
    done
}

saver_hack_running() {
    [ -n "$(saver_hacks)" ]
}

no_saver_hack() {
    [ -z "$(saver_hacks)" ]
}

# Trails over the desktop: more and more pixels differ from the desktop (CHANGED), while
# the corners (CORNERS), where no wrigglet has been yet, still show it.
trails_over_desktop() {
    CHANGED=0 CORNERS=
    import -window root "$WORK/screen.png" 2>/dev/null || return 1
    CHANGED=$(compare -metric AE "$WORK/screen.png" "$WORK/picture.png" null: 2>&1 | cut -d' ' -f1)
    CORNERS=$(convert "$WORK/screen.png" -format '%[pixel:p{3,3}] %[pixel:p{796,596}]' info:)
    [ "$CHANGED" -ge 2000 ] && [ "$CORNERS" = "$DESKTOP_CORNERS" ]
}

# The real daemon, told by a test ~/.xscreensaver to run only this hack: -activate starts
# it over XScreenSaver's picture of the desktop and it draws trails; -deactivate ends it.
scenario_xscreensaver() {
    E2E_SCREEN=800x600x24 start_xvfb "$WORK"
    E2E_SCREEN=800x600x24 make_picture blocks "$WORK" || fail "no picture"
    show_desktop
    DESKTOP_CORNERS=$(convert "$WORK/picture.png" -format '%[pixel:p{3,3}] %[pixel:p{796,596}]' info:)
    mkdir -p "$WORK/home" && chmod 777 "$WORK/home"
    printf '%s\n' 'mode: one' 'selected: 0' 'timeout: 1:00:00' 'lock: False' 'fade: False' 'unfade: False' \
        'splash: False' 'dpmsEnabled: False' 'grabDesktopImages: True' \
        "programs: $WRIGGLET --root -seed 7 -wrigglets 3 -speed 3" >"$WORK/home/.xscreensaver"
    chmod 644 "$WORK/home/.xscreensaver"
    as_saver_user xscreensaver -no-splash -verbose >"$WORK/daemon.log" 2>&1 &
    DAEMON_PID=$!
    wait_for 10 as_saver_user xscreensaver-command -time >/dev/null 2>&1
    as_saver_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
    wait_for 10 saver_hack_running || { cat "$WORK/daemon.log" >&2; fail "XScreenSaver did not start the hack"; }
    # Trails with the desktop's corners: the hack started from XScreenSaver's screenshot of
    # the desktop, not from its black window.
    wait_for 30 trails_over_desktop
    [ "$CORNERS" = "$DESKTOP_CORNERS" ] || fail "the hack did not start from the desktop ($CORNERS)"
    [ "$CHANGED" -ge 2000 ] || fail "the hack drew no trails ($CHANGED pixels changed)"
    as_saver_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
    wait_for 5 no_saver_hack || fail "a wrigglet process is left after -deactivate"
    stop_process "$DAEMON_PID"; DAEMON_PID=
    no_saver_hack || fail "a wrigglet process is left after the daemon ended"
}

"scenario_$1"
