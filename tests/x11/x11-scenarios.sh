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
HACK_PID= HELPER_PID= DAEMON_PID= SECOND_XVFB_PID=
# The hack honours the user's XScreenSaver image settings, and Debian's defaults keep the
# desktop from hacks: this user lets them grab it (the daemon's scenarios write their own).
export HOME=$WORK/home
mkdir -p "$HOME" && printf 'grabDesktopImages: True\n' >"$HOME/.xscreensaver"

cleanup() {
    local pid
    [ -n "$SECOND_XVFB_PID" ] && kill -CONT "$SECOND_XVFB_PID" 2>/dev/null
    for pid in $HACK_PID $HELPER_PID $DAEMON_PID $SECOND_XVFB_PID; do stop_process "$pid" KILL; done
    stop_xvfb
    stop_xorg
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$WORK/hack.err" ] && sed 's/^/hack: /' "$WORK/hack.err" >&2; exit 1; }

# needs SCENARIO: what the machine must have for it, else the scenario is skipped. Xorg with
# the dummy driver, which needs root, is started only when asked (scripts/test.sh asks).
needs() {
    case $1 in
        install) return ;;
        monitors | xscreensaver_monitors | xscreensaver_private)
            [ "${WRIGGLET_TEST_XORG:-}" = 1 ] || skip "starts Xorg's dummy driver only with WRIGGLET_TEST_XORG=1"
            [ "$(id -u)" -eq 0 ] || skip "Xorg with the dummy driver needs root"
            need Xorg xrandr ;;
        *) need Xvfb ;;
    esac
    need import compare convert xdotool xprop
    [[ $1 != xscreensaver* ]] || need xscreensaver xscreensaver-command setpriv
}

start_hack() {
    # Emptied before the start, so that no wait reads the previous hack's lines.
    : >"$WORK/hack.out"
    "$WRIGGLET" "$@" >>"$WORK/hack.out" 2>"$WORK/hack.err" &
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

# stop_hack SIGNAL: the signal ends the hack, by the signal itself, as XScreenSaver expects of
# its hacks, with a clean sanitizer log. The bound is generous (a loaded machine, a sanitizer
# build): it only has to tell a set-up cut short from one run to its end, which takes far longer.
stop_hack() {
    kill -s "$1" "$HACK_PID"
    local status
    wait_for 5 process_ended "$HACK_PID" || fail "SIG$1 did not end the hack within 5 s"
    wait "$HACK_PID"; status=$?
    HACK_PID=
    [ "$status" -eq $((128 + $(kill -l "$1"))) ] || fail "the hack ended on SIG$1 with status $status, not by the signal"
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

# placed_at WINDOW X,Y: the server has the window there. Read whole before it is matched:
# grep -q would end the pipe early, and pipefail would take xdotool's SIGPIPE for an answer.
placed_at() {
    local geometry
    geometry=$(xdotool getwindowgeometry "$1") && [[ $geometry == *"Position: $2 "* ]]
}

# Puts make_picture's picture on the root window, as its background.
show_desktop() {
    helper --desktop "$WORK/picture.ppm"
    import -window root "$WORK/desktop.png" || fail "cannot read the screen"
    [ "$(compare -metric AE "$WORK/desktop.png" "$WORK/picture.png" null: 2>&1)" = 0 ] \
        || fail "cannot show the desktop picture"
}

# A 16384x16384 hack over black builds its field: its own memory passes 300 MB of the
# field's 540 (its picture is in shared memory, and a black snapshot takes none).
field_built() {
    local memory
    memory=$(awk '/^RssAnon:/ { print $2 }' "/proc/$HACK_PID/status" 2>/dev/null)
    [ "${memory:-0}" -ge 300000 ] && return 0
    process_ended "$HACK_PID" && fail "the hack ended before building its field"
    return 1
}

# The option and failure cases, one row each: the display it runs on (main: a 24-bit Xvfb,
# 8bit: a PseudoColor one, frozen: that one stopped, none: no DISPLAY), what must happen
# (shown: it draws its frame, then SIGTERM ends it; TERM: SIGTERM ends it while its field is built;
# a number: it exits with that status and one line on stderr matching the pattern), the arguments.
OPTION_CASES='
main|shown||-window -mono -install -noinstall -visual default -pair -sync -no-fps -geom 320x200 -ticks 1
main|TERM||-geometry 16384x16384 -text
main|2|usage: wrigglet |-speed 4
main|2|usage: wrigglet |-geometry -help
main|2|usage: wrigglet |-window-id 0x100000000
main|1|-window-id 0x1 is not a window|-window-id 0x1
main|1|is an InputOnly window|-window-id INPUT_ONLY
8bit|1|visual of the root window is 8-bit PseudoColor|-root
8bit|1|visual of the screen is 8-bit PseudoColor|
frozen|1|display :[0-9]* does not answer|
none|1|no display: DISPLAY is not set|
main|1|cannot open the display :65000|-display :65000
'

scenario_options() {
    E2E_SCREEN=320x200x8 start_xvfb "$WORK"
    local shallow=$DISPLAY
    SECOND_XVFB_PID=$XVFB_PID
    E2E_SCREEN=640x480x24 start_xvfb "$WORK"
    local main=$DISPLAY input_only where outcome pattern arguments status
    helper --input-only 50 50
    input_only=$(cat "$WORK/helper.out")
    while IFS='|' read -r where outcome pattern arguments; do
        [ -n "$where" ] || continue
        arguments=${arguments//INPUT_ONLY/$input_only}
        case $where in
            main) export DISPLAY=$main ;;
            8bit) export DISPLAY=$shallow ;;
            frozen) export DISPLAY=$shallow; kill -STOP "$SECOND_XVFB_PID" ;;
            none) unset DISPLAY ;;
        esac
        # shellcheck disable=SC2086  # a row's arguments are words
        case $outcome in
            shown) start_hack $arguments; wait_shown 1; stop_hack TERM ;;
            TERM) start_hack $arguments; wait_for 60 field_built || fail "the hack never built its field"
                  stop_hack TERM ;;
            *)
                "$WRIGGLET" $arguments >/dev/null 2>"$WORK/err"; status=$?
                [ "$status" -eq "$outcome" ] || fail "'$arguments' on $where gave status $status, not $outcome"
                [ "$(wc -l <"$WORK/err")" -eq 1 ] && grep -q "^wrigglet: .*$pattern" "$WORK/err" \
                    || fail "'$arguments' on $where must say '$pattern' in one line: $(cat "$WORK/err")" ;;
        esac
        [ "$where" = frozen ] && kill -CONT "$SECOND_XVFB_PID"
    done <<<"$OPTION_CASES"
    export DISPLAY=$main
    [[ $("$WRIGGLET" -help) == *'Sound is not played on Linux'* ]] || fail "-help must say that sound is not played"
    [[ $("$WRIGGLET" --version) =~ ^wrigglet\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version said $("$WRIGGLET" --version)"
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
        arguments=${arguments//%/20000}  # the delay slider's value
        # shellcheck disable=SC2086  # an argument line is split as XScreenSaver splits it
        "$hack" $arguments -help >/dev/null 2>&1 || fail "the hack refuses '$arguments' from $xml"
    done <"$WORK/arguments"
}

# Its own window with MIT-SHM: the frame, then the frame of a new size after a resize, SIGTERM;
# -fps's readout over the corner and -delay's interval; then one placed by -geometry from the
# right and bottom edges, described to a window manager, whose close button ends it with status 0.
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
    start_hack -seed 7 -ticks 5 -fps -delay 100000 -geometry 320x200+0+0
    wait_shown 1
    grep -q 'tick 5 (every 100 ms) shown' "$WORK/hack.out" || fail "-delay 100000 gave $(cat "$WORK/hack.out")"
    (expect_frame 320x200+0+0 --seed 7 --ticks 5) 2>/dev/null && fail "-fps shows no readout"
    [ "$(compare -metric AE "$WORK/screen.png[320x176+0+0]" "$WORK/sim.png[320x176+0+0]" null: 2>&1)" = 0 ] \
        || fail "-fps draws outside the bottom-left corner (see $WORK/diff.png)"
    stop_hack TERM
    start_hack -ticks 1 -geometry 320x200-10-20
    wait_shown 1
    local window
    # By its process: the previous hack's window may not be gone from the server yet.
    window=$(xdotool search --pid "$HACK_PID" --name '^wrigglet$')
    wait_for 10 placed_at "$window" 694,548 \
        || fail "-geometry 320x200-10-20 put it at $(xdotool getwindowgeometry "$window")"
    xprop -id "$window" WM_CLASS WM_NORMAL_HINTS _NET_WM_PID >"$WORK/xprop.txt"
    grep -q 'WM_CLASS(STRING) = "wrigglet", "Wrigglet"' "$WORK/xprop.txt" \
        && grep -q 'user specified location: 694, 548' "$WORK/xprop.txt" \
        && grep -q "_NET_WM_PID(CARDINAL) = $HACK_PID\$" "$WORK/xprop.txt" \
        || fail "the window manager is not told the window's class, place and process: $(cat "$WORK/xprop.txt")"
    "$X11_TEST_WINDOW" --close "$window" || fail "cannot ask the window to close"
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
# --monitors draws them; then a monitor moves and becomes the primary, the root keeping its
# size, and the scenes follow.
scenario_monitors() {
    local layout="800x600+0+0 640x480+800+60"
    start_xorg "$WORK" "$layout"
    [ "$(xrandr --listactivemonitors | head -n 1)" = "Monitors: 2" ] || fail "Xorg shows $(xrandr --listactivemonitors)"
    E2E_SCREEN=1440x600x24 make_picture gradient "$WORK" || fail "no picture"
    show_desktop
    start_hack -root -seed 7 -ticks 200 -wrigglets 3
    wait_shown 1
    expect_frame 1440x600+0+0 --monitors 800x600+0+0,640x480+800+60 --seed 7 --ticks 200 --wrigglets 3 \
        --background "$WORK/picture.png"
    xrandr --output DUMMY1 --pos 800x120 --primary || fail "xrandr cannot move the monitor"
    wait_shown 2
    expect_frame 1440x600+0+0 --monitors 640x480+800+120,800x600+0+0 --seed 7 --ticks 200 --wrigglets 3 \
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
            && grep -qxz "HOME=$WORK/home" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
    done
}

saver_hacks_running() {  # COUNT
    [ "$(saver_hacks | wc -l)" -eq "$1" ]
}

no_saver_hack() {
    [ -z "$(saver_hacks)" ]
}

# started_and_drew AREA START: the hack on monitor AREA (WxH+X+Y) has drawn trails (DRAWN
# pixels differ from START, the picture it should start from), while the corners (CORNERS),
# where no wrigglet has been yet, still show START.
started_and_drew() {
    local extent=${1%%+*} at=${1#*+}
    local w=${extent%x*} h=${extent#*x} x=${at%+*} y=${at#*+}
    local corners="%[pixel:p{$((x + 3)),$((y + 3))}] %[pixel:p{$((x + w - 4)),$((y + h - 4))}]"
    DRAWN=0 CORNERS='' START_CORNERS=$(convert "$2" -format "$corners" info:)
    import -window root "$WORK/screen.png" 2>/dev/null || return 1
    DRAWN=$(compare -metric AE "$WORK/screen.png[$1]" "$2[$1]" null: 2>&1 | cut -d' ' -f1)
    CORNERS=$(convert "$WORK/screen.png" -format "$corners" info:)
    [ "$DRAWN" -ge 1000 ] && [ "$CORNERS" = "$START_CORNERS" ]
}

# run_daemon GRAB MONITORS...: the real daemon, told by a test ~/.xscreensaver to run only
# this hack, with grabDesktopImages GRAB, over a known desktop. -activate starts one hack per
# monitor; each draws trails from where it started: its part of the desktop (XScreenSaver's
# screenshot of its own window, not the black saver window) when GRAB is True, else black.
# -deactivate ends them.
run_daemon() {
    local grab=$1 monitor start=$WORK/picture.png
    shift
    make_picture blocks "$WORK" || fail "no picture"
    show_desktop
    if [ "$grab" = False ]; then
        start=$WORK/black.png
        convert "$WORK/picture.png" -fill black -colorize 100 -type TrueColor "PNG24:$start"
    fi
    mkdir -p "$WORK/home" && chmod 777 "$WORK/home"
    printf '%s\n' 'mode: one' 'selected: 0' 'timeout: 1:00:00' 'lock: False' 'fade: False' 'unfade: False' \
        'splash: False' 'dpmsEnabled: False' "grabDesktopImages: $grab" 'chooseRandomImages: False' \
        "programs: $WRIGGLET --root -seed 7 -wrigglets 3 -speed 3" >"$WORK/home/.xscreensaver"
    chmod 644 "$WORK/home/.xscreensaver"
    as_saver_user xscreensaver -no-splash -verbose >"$WORK/daemon.log" 2>&1 &
    DAEMON_PID=$!
    wait_for 10 as_saver_user xscreensaver-command -time >/dev/null 2>&1
    as_saver_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
    wait_for 10 saver_hacks_running $# || { cat "$WORK/daemon.log" >&2; fail "XScreenSaver did not start $# hacks"; }
    for monitor in "$@"; do
        wait_for 30 started_and_drew "$monitor" "$start"
        [ "$CORNERS" = "$START_CORNERS" ] \
            || fail "the hack on $monitor did not start from $(basename "$start") ($CORNERS)"
        [ "$DRAWN" -ge 1000 ] || fail "the hack on $monitor drew no trails ($DRAWN pixels changed)"
    done
    as_saver_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
    wait_for 5 no_saver_hack || fail "a wrigglet process is left after -deactivate"
    stop_process "$DAEMON_PID"; DAEMON_PID=
    no_saver_hack || fail "a wrigglet process is left after the daemon ended"
}

scenario_xscreensaver() {
    export E2E_SCREEN=800x600x24
    start_xvfb "$WORK"
    run_daemon True 800x600+0+0
}

# Two monitors, each hack with its own window and screenshot.
scenario_xscreensaver_monitors() {
    start_xorg "$WORK" "800x600+0+0 640x480+800+60"
    run_daemon True 800x600+0+0 640x480+800+60
}

# The user keeps the desktop from hacks (Debian's default): neither monitor shows it.
scenario_xscreensaver_private() {
    start_xorg "$WORK" "800x600+0+0 640x480+800+60"
    run_daemon False 800x600+0+0 640x480+800+60
}

needs "$1"
"scenario_$1"
