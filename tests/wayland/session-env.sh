# The private desktop session a headless compositor runs in (sourced by gnome-env.sh and
# kwin-env.sh): a fresh directory, a session bus and a system bus of its own, all as an
# unprivileged user when the tests run as root (the desktops refuse root or misbehave under it).
# shellcheck shell=bash
#
#   start_session DIR VAR=VALUE...
#                   makes SESSION_DIR (a fresh directory under /tmp holding run/, the
#                   XDG_RUNTIME_DIR, and home/, the HOME, both the session user's) and starts a
#                   private session bus and system bus there as that user, with the VAR=VALUEs in
#                   the session bus's environment so that the services it starts (portals, dconf)
#                   see them; exports XDG_RUNTIME_DIR and DBUS_SESSION_BUS_ADDRESS for the clients;
#                   logs in DIR/session-bus.log and DIR/system-bus.log
#   SESSION_COMMAND the words that run a command as the session user, in the session's
#                   environment and in /: "${SESSION_COMMAND[@]}" COMMAND... & leaves the
#                   command itself in $! (a compositor; a helper the compositor only trusts from
#                   its own user)
#   as_session_user COMMAND...
#                   runs COMMAND so, in the foreground
#   session_started PID
#                   adds a background process of this shell to those stop_session ends
#   start_session_input COMMAND...
#                   runs COMMAND as the session user, as a coprocess that holds the compositor's
#                   input devices for the whole session, as a machine's are there from the start
#                   (devices made for each event would come and go with the seat's capabilities,
#                   and a client would bind a keyboard only after the key's press); it says
#                   "ready", then takes one event a line and answers "done" once the compositor
#                   has taken it
#   session_input EVENT...
#                   sends one event (such as "key 30") and waits for its "done"
#   stop_session    ends those processes (the last started first), then every process still
#                   running in SESSION_DIR's environment (what the buses started), and removes it

# shellcheck source=scripts/lib.sh
declare -F wait_for >/dev/null || source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

SESSION_USER=()
[ "$(id -u)" -eq 0 ] && SESSION_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
SESSION_PIDS=()

# The buses take anyone (the clients may be root); the session bus starts Debian's services.
session_bus_config() {  # TYPE ADDRESS
    local services=''
    [ "$1" = session ] && services='<standard_session_servicedirs/>'
    cat <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$1</type>
  <listen>$2</listen>
  <auth>EXTERNAL</auth>
  $services
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
EOF
}

start_session() {
    local dir=$1 bus
    shift
    mkdir -p "$dir"
    SESSION_DIR=$(mktemp -d /tmp/wrigglet-session.XXXXXX) || return 1
    mkdir -p "$SESSION_DIR/run" "$SESSION_DIR/home"
    chmod 755 "$SESSION_DIR" && chmod 700 "$SESSION_DIR/run"
    [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$SESSION_DIR/run" "$SESSION_DIR/home"
    export XDG_RUNTIME_DIR=$SESSION_DIR/run
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    SESSION_COMMAND=("${SESSION_USER[@]}" env -i -C / PATH="$PATH" LANG=C.UTF-8 HOME="$SESSION_DIR/home"
                     XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
                     DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system-bus" WRIGGLET_SESSION="$SESSION_DIR" "$@")
    for bus in session:bus system:system-bus; do
        session_bus_config "${bus%:*}" "unix:path=$XDG_RUNTIME_DIR/${bus#*:}" >"$SESSION_DIR/${bus%:*}.conf"
        chmod 644 "$SESSION_DIR/${bus%:*}.conf"
        "${SESSION_COMMAND[@]}" dbus-daemon --config-file="$SESSION_DIR/${bus%:*}.conf" --nofork \
            >"$dir/${bus%:*}-bus.log" 2>&1 &
        session_started $!
    done
    wait_for 10 test -S "$XDG_RUNTIME_DIR/bus" -a -S "$XDG_RUNTIME_DIR/system-bus" && return 0
    echo "error: the private buses did not start (see $dir/*-bus.log)" >&2
    return 1
}

as_session_user() {
    "${SESSION_COMMAND[@]}" "$@"
}

session_started() {
    SESSION_PIDS+=("$1")
}

start_session_input() {
    local line='' said=()
    coproc SESSION_INPUT { exec "${SESSION_COMMAND[@]}" "$@" 2>&1; }
    session_started "$SESSION_INPUT_PID"
    while read -r -t 10 line <&"${SESSION_INPUT[0]}"; do
        [ "$line" = ready ] && return 0
        said+=("$line")
    done
    echo "error: no input devices: ${said[*]}" >&2
    return 1
}

session_input() {
    local reply=''
    [ -n "${SESSION_INPUT_PID:-}" ] || { echo "error: no input devices" >&2; return 1; }
    echo "$*" >&"${SESSION_INPUT[1]}" && read -r -t 10 reply <&"${SESSION_INPUT[0]}"
    [ "$reply" = "done" ] && return 0
    echo "error: $* was not sent: $reply" >&2
    return 1
}

# The processes of this session (what its buses and its compositor started, too): those whose
# environment carries its mark, which the clients of the tests don't.
session_leftovers() {
    grep -lsxzF "WRIGGLET_SESSION=$SESSION_DIR" /proc/[0-9]*/environ | cut -d/ -f3
}

session_ended() {
    [ -z "$(session_leftovers)" ]
}

# A process this shell started has ended (and waits to be collected, a zombie).
session_process_ended() {  # PID
    case $(ps -o stat= -p "$1") in '' | Z*) return 0 ;; esac
    return 1
}

# Ends a process this shell started, killed if SIGTERM has not ended it within 5 s (a desktop
# whose start-up hung may not heed it), and collects it.
stop_session_process() {  # PID
    kill "$1" 2>/dev/null
    wait_for 5 session_process_ended "$1" || kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

stop_session() {
    local i pid input=${SESSION_INPUT[1]:-}
    # The end of its input lets the input coprocess end by itself.
    [ -n "$input" ] && exec {input}>&-
    SESSION_INPUT_PID=
    for ((i = ${#SESSION_PIDS[@]} - 1; i >= 0; i--)); do stop_session_process "${SESSION_PIDS[i]}"; done
    SESSION_PIDS=()
    [ -n "${SESSION_DIR:-}" ] || return 0
    for pid in $(session_leftovers); do kill "$pid" 2>/dev/null; done
    wait_for 5 session_ended ||
        for pid in $(session_leftovers); do kill -KILL "$pid" 2>/dev/null; done
    rm -rf "$SESSION_DIR"
    SESSION_DIR=
}
