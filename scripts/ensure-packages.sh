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
[ "$(id -u)" -eq 0 ] || apt=(sudo "${apt[@]}")
"${apt[@]}" update -qq >/dev/null \
    || fail "'apt-get update' failed; are you root (or is sudo available) and is the archive reachable?"
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "could not install: ${missing[*]} (see 'apt-get install ${missing[*]}')"
