#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Usage: scripts/ensure-packages.sh PACKAGE...   (safe to run again)
set -euo pipefail

missing=()
for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# A name:arch package needs its architecture known to dpkg before the update.
foreign=0
for pkg in "${missing[@]}"; do
    [[ "$pkg" == *:* ]] || continue
    foreign=1
    arch=${pkg##*:}
    dpkg --print-foreign-architectures | grep -qx "$arch" || $sudo dpkg --add-architecture "$arch"
done
if ! $sudo apt-get update -qq >/dev/null; then
    echo "error: 'apt-get update' failed; are you root (or is sudo available) and is the archive reachable?" >&2
    exit 1
fi
# Another architecture's library could pull in a tool that replaces the machine's own:
# then nothing is installed if apt would remove anything.
removed=""
[ "$foreign" -eq 1 ] && removed=$(apt-get install -s --no-install-recommends "${missing[@]}" 2>/dev/null |
    sed -n 's/^Remv \([^ ]*\).*/\1/p' || true)
if [ -n "$removed" ]; then
    echo "error: installing ${missing[*]} would remove: $removed" >&2
    exit 1
fi
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    echo "error: could not install: ${missing[*]} (see 'apt-get install ${missing[*]}')" >&2
    exit 1
fi
