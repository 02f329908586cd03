#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Usage: scripts/ensure-packages.sh PACKAGE...   (safe to run again; waits for another
# install's lock rather than fail on it)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

missing=()
for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)
dpkg=(dpkg)
[ "$(id -u)" -eq 0 ] || { apt=(sudo "${apt[@]}"); dpkg=(sudo dpkg); }
# A name:arch package needs its architecture known to dpkg before the update.
foreign=0
for pkg in "${missing[@]}"; do
    [[ "$pkg" == *:* ]] || continue
    foreign=1
    arch=${pkg##*:}
    dpkg --print-foreign-architectures | grep -qx "$arch" || "${dpkg[@]}" --add-architecture "$arch"
done
"${apt[@]}" update -qq >/dev/null \
    || fail "'apt-get update' failed; are you root (or is sudo available) and is the archive reachable?"
# Another architecture's library could pull in a tool that replaces the machine's own:
# then nothing is installed if apt would remove anything.
removed=""
[ "$foreign" -eq 1 ] && removed=$(apt-get install -s --no-install-recommends "${missing[@]}" 2>/dev/null |
    sed -n 's/^Remv \([^ ]*\).*/\1/p' || true)
[ -z "$removed" ] || fail "installing ${missing[*]} would remove: $removed"
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "could not install: ${missing[*]} (see 'apt-get install ${missing[*]}')"
