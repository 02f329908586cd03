#!/usr/bin/env bash
# Makes the release archive build/release/wrigglet2004-VERSION.zip: both .scr files, both
# installers, the Windows read-me, the licence and SHA256SUMS. Builds the win64 and win32
# presets first and installs the Debian packages it misses; safe to run again.
# The archive's file times are the last commit's (or SOURCE_DATE_EPOCH), so the same
# commit gives the same archive.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}"

version=$(sed -n 's/^project(Wrigglet2004 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt's project() line"

build_preset win64
build_preset win32

name=wrigglet2004-$version
stage=build/release/$name
rm -rf "$stage" "build/release/$name.zip"
mkdir -p "$stage"
cp build/win64/wrigglet2004.scr build/win32/wrigglet2004-x86.scr \
   "build/win64/$name-setup-x64.exe" "build/win32/$name-setup-x86.exe" "$stage/" \
    || fail "a built file is missing (see build/build-win64.log and build/build-win32.log)"
# Windows text files: CRLF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' installer/README-Windows.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
(cd "$stage" && sha256sum -- *.scr *.exe README.txt LICENSE.txt >SHA256SUMS)

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd build/release && TZ=UTC find "$name" -print | LC_ALL=C sort | TZ=UTC zip -X -q "$name.zip" -@) \
    || fail "zip failed"

echo "Release archive: build/release/$name.zip"
(cd "$stage" && stat -c '%8s  %n' -- * | sed 's/^/  /')
