# Shell helpers for a private headless sway, sourced by the Wayland scenarios and the benchmark.
# shellcheck shell=bash
#
#   start_sway DIR CONFIG-LINES...
#                   starts sway with no real outputs or input devices and the pixman renderer,
#                   with these lines as its config, as an unprivileged user (sway refuses root)
#                   with a fresh directory under /tmp as its XDG_RUNTIME_DIR and HOME (which
#                   that user can reach wherever DIR is); exports XDG_RUNTIME_DIR,
#                   WAYLAND_DISPLAY and SWAYSOCK for the clients; logs in DIR/sway.log. The
#                   config's output lines name HEADLESS-1, HEADLESS-2, ...: sway makes the first,
#                   create_output the others
#   stop_sway       stops it and removes its directory

SWAY_USER=()
[ "$(id -u)" -eq 0 ] && SWAY_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)


start_sway() {
    local dir=$1
    shift
    mkdir -p "$dir"
    SWAY_DIR=$(mktemp -d /tmp/wrigglet-sway.XXXXXX) || return 1
    mkdir -p "$SWAY_DIR/run" "$SWAY_DIR/home"
    printf '%s\n' "$@" >"$SWAY_DIR/sway.conf"
    chmod 755 "$SWAY_DIR" && chmod 700 "$SWAY_DIR/run" && chmod 644 "$SWAY_DIR/sway.conf"
    [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$SWAY_DIR/run" "$SWAY_DIR/home"
    HOME="$SWAY_DIR/home" XDG_RUNTIME_DIR="$SWAY_DIR/run" WLR_BACKENDS=headless WLR_RENDERER=pixman \
        WLR_LIBINPUT_NO_DEVICES=1 "${SWAY_USER[@]}" env -u WAYLAND_DISPLAY -u DISPLAY -u SWAYSOCK \
        sway -c "$SWAY_DIR/sway.conf" >"$dir/sway.log" 2>&1 &
    SWAY_PID=$!
    export XDG_RUNTIME_DIR=$SWAY_DIR/run
    local _
    for _ in $(seq 100); do
        SWAYSOCK=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'sway-ipc.*.sock' 2>/dev/null | head -n 1)
        WAYLAND_DISPLAY=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' 2>/dev/null | head -n 1)
        if [ -n "$SWAYSOCK" ] && [ -n "$WAYLAND_DISPLAY" ] && swaymsg -s "$SWAYSOCK" -t get_version >/dev/null 2>&1; then
            export SWAYSOCK WAYLAND_DISPLAY
            return 0
        fi
        kill -0 "$SWAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "error: sway did not start (see $dir/sway.log)" >&2
    return 1
}

stop_sway() {
    if [ -n "${SWAY_PID:-}" ]; then
        kill "$SWAY_PID" 2>/dev/null
        wait "$SWAY_PID" 2>/dev/null
        SWAY_PID=
    fi
    [ -n "${SWAY_DIR:-}" ] && rm -rf "$SWAY_DIR"
    SWAY_DIR=
}
