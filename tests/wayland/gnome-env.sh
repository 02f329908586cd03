# Shell helpers for a private headless GNOME Shell, sourced by its scenarios (and benchmarks).
# shellcheck shell=bash
#
#   start_gnome DIR SIZE...
#                   starts GNOME Shell headless (Wayland only, no X11) with one virtual monitor
#                   per SIZE (WxH), laid left to right from (0,0) and named Meta-0, Meta-1, ...,
#                   in a private session (session-env.sh: its own buses, XDG_RUNTIME_DIR and
#                   HOME, as an unprivileged user), and waits until its start-up has ended with
#                   the Activities overview open, as after a login. Notification banners and
#                   animations are turned off, so that screenshots are steady. Exports
#                   XDG_RUNTIME_DIR, WAYLAND_DISPLAY and DBUS_SESSION_BUS_ADDRESS for the clients;
#                   logs in DIR/gnome-shell.log
#   stop_gnome      stops it, the stand-in session manager and its session
#   gnome_monitor N prints the Nth monitor's (from 1) WxH+X+Y
#   gnome_key CODE  presses and releases the evdev key CODE (1 Esc, 30 A, 57 space) through
#                   mutter's remote-desktop D-Bus interface, as a remote user would, with a
#                   keyboard and a pointer that start_gnome makes and that stay for the session
#   gnome_move DX DY
#                   moves the pointer by DX,DY pixels, the same way
#   gnome_click [BUTTON]
#                   presses and releases the evdev BUTTON (272, the left one)
#   gnome_screenshot FILE [N]
#                   the whole screen (or monitor N) into FILE, a PNG without alpha, through
#                   org.gnome.Shell.Screenshot (the Shell takes it from a few well-known names
#                   only, such as org.gnome.Screenshot, which the helper owns on the private bus)
#   gnome_overview on|off
#                   opens or closes the Activities overview (org.gnome.Shell OverviewActive)
#   gnome_idletime  prints the milliseconds since the last input (org.gnome.Mutter.IdleMonitor)
#   gnome_screenshot_permission yes|no|ask
#                   how the desktop portal (org.freedesktop.portal.Screenshot) answers a
#                   screenshot that does not ask the user: with the picture at once, with a
#                   refusal at once, or (ask, as on a new account) with a dialog that waits for the
#                   user. The portal answers only processes of the session's user (it reads
#                   /proc/PID/root), so a saver that asks it runs as that user (SAVER_RUNNER)
#   gnome_inhibit [FLAGS]
#                   inhibits FLAGS (8, idle, by default) through a stand-in org.gnome.SessionManager
#                   on the private bus (the headless Shell runs no session manager), started at
#                   the first call; IsInhibited, InhibitedActions and the InhibitorAdded and
#                   InhibitorRemoved signals answer as the real one's do
#   gnome_uninhibit takes back every inhibitor gnome_inhibit made

GNOME_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wayland/session-env.sh
source "$GNOME_HERE/session-env.sh"
# Debian's Python, which has Debian's GObject binding (another python3 may come first on PATH).
GNOME_PYTHON=/usr/bin/python3
GNOME_SIZES=()
GNOME_COOKIES=()
GNOME_SESSION_MANAGER_PID=''

gnome_bus() {
    "$GNOME_PYTHON" "$GNOME_HERE/gnome-bus.py" "$@"
}

# The Shell logs this line once its start-up animation has ended.
gnome_up() {  # LOG
    grep -qs 'GNOME Shell started' "$1" || process_ended "$GNOME_PID"
}

start_gnome() {
    local dir=$1 size monitors=()
    shift
    GNOME_SIZES=("$@")
    for size in "$@"; do monitors+=(--virtual-monitor "$size"); done
    export WAYLAND_DISPLAY=wayland-0
    start_session "$dir" XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY="$WAYLAND_DISPLAY" ||
        return 1
    as_session_user gsettings set org.gnome.desktop.notifications show-banners false &&
        as_session_user gsettings set org.gnome.desktop.interface enable-animations false ||
        echo "warning: cannot turn off banners and animations" >&2
    "${SESSION_COMMAND[@]}" gnome-shell --headless --wayland --no-x11 --wayland-display "$WAYLAND_DISPLAY" \
        "${monitors[@]}" >"$dir/gnome-shell.log" 2>&1 &
    GNOME_PID=$!
    session_started "$GNOME_PID"
    wait_for 60 gnome_up "$dir/gnome-shell.log" && ! process_ended "$GNOME_PID" &&
        start_session_input "$GNOME_PYTHON" "$GNOME_HERE/gnome-bus.py" input && return 0
    echo "error: GNOME Shell did not start (see $dir/gnome-shell.log)" >&2
    return 1
}

stop_gnome() {
    GNOME_COOKIES=()
    GNOME_SESSION_MANAGER_PID=''
    GNOME_PID=''
    stop_session
}

gnome_monitor() {
    local n=$1 x=0 i size
    for ((i = 1; i < n; i++)); do
        size=${GNOME_SIZES[i - 1]}
        x=$((x + ${size%x*}))
    done
    echo "${GNOME_SIZES[n - 1]}+$x+0"
}

gnome_key() { session_input key "$1"; }
gnome_move() { session_input move "$1" "$2"; }
gnome_click() { session_input click "${1:-272}"; }
gnome_overview() { gnome_bus overview "$1"; }
gnome_idletime() { gnome_bus idletime; }
gnome_screenshot_permission() { gnome_bus screenshot-permission "$1"; }

# The Shell writes the file, as the session's user, into that user's HOME.
gnome_screenshot() {
    local file=$1 shot=$SESSION_DIR/home/screenshot.png area=() w h x y
    if [ -n "${2:-}" ]; then
        read -r w h x y <<<"$(gnome_monitor "$2" | tr 'x+' '  ')"
        area=("$x" "$y" "$w" "$h")
    fi
    gnome_bus screenshot "$shot" "${area[@]}" && convert "$shot" -alpha off "$file" && rm -f "$shot"
}

gnome_inhibit() {
    local cookie log=$SESSION_DIR/session-manager.log
    if [ -z "$GNOME_SESSION_MANAGER_PID" ]; then
        "$GNOME_PYTHON" "$GNOME_HERE/gnome-bus.py" session-manager >"$log" 2>&1 &
        GNOME_SESSION_MANAGER_PID=$!
        session_started "$GNOME_SESSION_MANAGER_PID"
        wait_for 10 grep -q serving "$log" || { echo "error: no stand-in session manager: $(cat "$log")" >&2; return 1; }
    fi
    cookie=$(gnome_bus inhibit "${1:-8}") || return 1
    GNOME_COOKIES+=("$cookie")
}

gnome_uninhibit() {
    local cookie
    for cookie in "${GNOME_COOKIES[@]}"; do gnome_bus uninhibit "$cookie" || return 1; done
    GNOME_COOKIES=()
}
