#!/usr/bin/env bash
# Builds the .scr files and the installers twice, from two copies of the sources in
# different places into two different build trees, and compares them byte for byte.
# Usage: scripts/check-reproducible.sh [PRESET...]   (default: win64 win32)
# Exit status 0 when every pair is identical. Trees stay in build/reproducible/.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win64 win32)
root=$PWD/build/reproducible
rm -rf "$root"
# The second copy of the sources sits at another path of another length.
second=$root/second-copy-of-the-sources
mkdir -p "$second"
git ls-files -z | xargs -0 cp --parents -t "$second" || fail "cannot copy the sources"

status=0
for preset in "${presets[@]}"; do
    for tree in first second; do
        src=$PWD; [ $tree = second ] && src=$second
        dir=$root/$tree-$preset
        echo "== building $preset in $dir"
        (cd "$src" && cmake --preset "$preset" -B "$dir" >"$root/$tree-$preset.log" 2>&1 &&
            cmake --build "$dir" -j "$(parallel_jobs)" --target wrigglet2004 installer >>"$root/$tree-$preset.log" 2>&1) \
            || fail "building $preset ($tree) failed; see $root/$tree-$preset.log"
    done
    for file in $(cd "$root/first-$preset" && ls -- *.scr *.exe); do
        if cmp -s "$root/first-$preset/$file" "$root/second-$preset/$file"; then
            echo "identical: $file ($(stat -c %s "$root/first-$preset/$file") bytes)"
        else
            echo "DIFFERENT: $file ($(cmp -l "$root/first-$preset/$file" "$root/second-$preset/$file" | wc -l) bytes differ)"
            status=1
        fi
    done
done
exit $status
