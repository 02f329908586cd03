# Shell helpers for a private headless KWin, sourced by its scenarios (and benchmarks).
# shellcheck shell=bash
#
#   start_kwin DIR SIZE [COUNT]
#                   starts KWin on its virtual backend with COUNT (1) outputs of SIZE (WxH),
#                   laid left to right from (0,0) and named Virtual-0, Virtual-1, ..., in a private
#                   session (session-env.sh: its own buses, XDG_RUNTIME_DIR and HOME, as an
#                   unprivileged user), without its lock screen, global shortcuts or activities,
#                   and with its permission checks off so that the tests may take screenshots
#                   and send input. Runs a plain copy of kwin_wayland: Debian's carries a file
#                   capability that a container may refuse to run. Exports XDG_RUNTIME_DIR,
#                   WAYLAND_DISPLAY and DBUS_SESSION_BUS_ADDRESS for the clients; logs in
#                   DIR/kwin.log
#   stop_kwin       stops it and its session
#   kwin_key CODE   presses and releases the evdev key CODE (1 Esc, 30 A, 57 space) through
#                   KWin's fake-input protocol (KWIN_FAKE_INPUT: the kwin-fake-input client,
#                   run as KWin's user, the only one KWin offers the protocol to), with a device
#                   that start_kwin makes and that stays for the session
#   kwin_move DX DY moves the pointer by DX,DY pixels, the same way
#   kwin_click [BUTTON]
#                   presses and releases the evdev BUTTON (272, the left one)
#   kwin_screenshot FILE [N]
#                   the whole workspace (or output N, from 1) into FILE, a PNG without alpha,
#                   through KWin's org.kde.KWin.ScreenShot2 D-Bus interface

KWIN_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wayland/session-env.sh
source "$KWIN_HERE/session-env.sh"
# Debian's Python, which has Debian's GObject binding (another python3 may come first on PATH).
KWIN_PYTHON=/usr/bin/python3

kwin_bus() {
    "$KWIN_PYTHON" "$KWIN_HERE/kwin-bus.py" "$@"
}

start_kwin() {
    local dir=$1 size=$2 count=${3:-1}
    [ -x "${KWIN_FAKE_INPUT:-}" ] || { echo "error: KWIN_FAKE_INPUT names no kwin-fake-input client" >&2; return 1; }
    export WAYLAND_DISPLAY=wayland-0
    start_session "$dir" XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 || return 1
    cp "$(command -v kwin_wayland)" "$SESSION_DIR/kwin_wayland" || return 1
    "${SESSION_COMMAND[@]}" "$SESSION_DIR/kwin_wayland" --virtual --no-lockscreen --no-global-shortcuts \
        --no-kactivities --socket "$WAYLAND_DISPLAY" --width "${size%x*}" --height "${size#*x}" \
        --output-count "$count" >"$dir/kwin.log" 2>&1 &
    KWIN_PID=$!
    session_started "$KWIN_PID"
    wait_for 60 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" && kwin_bus ready && ! process_ended "$KWIN_PID" &&
        start_session_input "$KWIN_FAKE_INPUT" && return 0
    echo "error: KWin did not start (see $dir/kwin.log)" >&2
    return 1
}

stop_kwin() {
    KWIN_PID=''
    stop_session
}

kwin_key() { session_input key "$1"; }
kwin_move() { session_input move "$1" "$2"; }
kwin_click() { session_input click "${1:-272}"; }

kwin_screenshot() {
    local file=$1 output=()
    [ -n "${2:-}" ] && output=("Virtual-$(($2 - 1))")
    kwin_bus screenshot "$file.ppm" "${output[@]}" && convert "$file.ppm" "$file" && rm -f "$file.ppm"
}
