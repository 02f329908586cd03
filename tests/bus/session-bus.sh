#!/usr/bin/env bash
# wrigglet-wayland's session-bus parts (bus_probe) three ways: with no bus at all, on a private
# bus with none of the desktop's services, and beside stand-ins for them (bus-services.py).
# Each run's lines must be the expected ones. ctest passes BUS_PROBE and BUS_WORK.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib.sh
# shellcheck disable=SC1091
source "$HERE/../../scripts/lib.sh"  # fail, skip, wait_for, stop_process

PYTHON=/usr/bin/python3  # Debian's, with its dbus and gi modules
command -v dbus-daemon >/dev/null || skip "dbus-daemon is missing (scripts/test.sh installs it)"
"$PYTHON" -c 'import dbus, gi' 2>/dev/null || skip "python3-dbus or python3-gi is missing (scripts/test.sh installs them)"

rm -rf "$BUS_WORK" && mkdir -p "$BUS_WORK/cache"
export XDG_CACHE_HOME=$BUS_WORK/cache
BUS_PID='' SERVICES_PID=''
cleanup() {
    stop_process "$SERVICES_PID"
    stop_process "$BUS_PID"
}
trap cleanup EXIT

# expect NAME LINE...: the probe's lines are these.
expect() {
    local name=$1 got
    shift
    got=$(timeout 30 "$BUS_PROBE" 2>&1)
    [ "$got" = "$(printf '%s\n' "$@")" ] || fail "$name: the probe said:"$'\n'"$got"$'\n'"expected:"$'\n'"$(printf '%s\n' "$@")"
}

DBUS_SESSION_BUS_ADDRESS=unix:path=$BUS_WORK/no-bus XDG_RUNTIME_DIR=$BUS_WORK expect "no bus" \
    "bus: none" "overview left: no" "desktop: none, no session bus to ask the desktop portal on" \
    "desktop: none, no session bus to ask the desktop portal on" "idle source: none"

# A bus that starts no service on demand: the machine's own portal must not answer here.
cat >"$BUS_WORK/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$BUS_WORK/bus</listen>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
dbus-daemon --config-file="$BUS_WORK/bus.conf" --nofork >"$BUS_WORK/daemon.log" 2>&1 &
BUS_PID=$!
export DBUS_SESSION_BUS_ADDRESS=unix:path=$BUS_WORK/bus
wait_for 10 test -S "$BUS_WORK/bus" || fail "dbus-daemon did not start: $(cat "$BUS_WORK/daemon.log")"
missing="desktop: none, no desktop portal on the session bus"
expect "no services" "bus: open" "overview left: no" "$missing" "$missing" "idle source: none"

cp "$HERE/../../docs/web-960x540.png" "$XDG_CACHE_HOME/desktop.png" || fail "no picture for the portal"
"$PYTHON" "$HERE/bus-services.py" >"$BUS_WORK/services.log" 2>&1 &
SERVICES_PID=$!
wait_for 10 grep -q '^ready$' "$BUS_WORK/services.log" || fail "no stand-ins: $(cat "$BUS_WORK/services.log")"
expect "stand-ins" "bus: open" "overview left: no" "desktop: 960x540" \
    "desktop: none, the desktop portal did not answer within 3 s, request closed" \
    "idle source: org.gnome.Mutter.IdleMonitor" "idle, inhibited: no" "back" "idle, inhibited: no"
[ -e "$XDG_CACHE_HOME/Screenshot.png" ] && fail "the portal's file was left behind"
echo "PASS: no bus, no services and stand-ins"
