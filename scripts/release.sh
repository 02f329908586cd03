#!/usr/bin/env bash
# Makes the release in build/release/: wrigglet2004-VERSION.zip (both .scr files, both
# installers, the Windows read-me, the licence and SHA256SUMS), the Debian packages
# wrigglet_VERSION_amd64.deb and wrigglet_VERSION_arm64.deb (cross-built), the page's static
# site wrigglet2004-web-VERSION.zip (for any static web server), the source tarball
# wrigglet2004-VERSION.tar.gz of the committed files, and SHA256SUMS of those five. Builds
# the win64, win32, native, arm64 and web presets first and installs the Debian packages it
# misses; safe to run again.
# Every time stamp is the last commit's (or SOURCE_DATE_EPOCH's), so the same commit gives
# the same files.
# With a code-signing certificate in the environment (WRIGGLET_SIGN_PKCS12, a PKCS#12 file,
# and WRIGGLET_SIGN_PASSWORD; WRIGGLET_SIGN_TIMESTAMP_URL for a time-stamping server), both
# .scr files, both setups and the uninstallers in them are signed (scripts/sign-windows.sh);
# without one the release is unsigned, and says so.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh

ensure_packages "${WINDOWS_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" "${NATIVE_PACKAGES[@]}" "${DEB_PACKAGES[@]}" \
    emscripten nodejs
# Apart, so that the machine's own tools are in place before another architecture's libraries.
ensure_packages "${ARM64_PACKAGES[@]}"

version=$(sed -n 's/^project(Wrigglet2004 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt's project() line"

unsigned=
if [ -z "${WRIGGLET_SIGN_PKCS12:-}" ]; then
    unsigned="warning: the Windows files are NOT signed (Windows warns of an unknown publisher): set
         WRIGGLET_SIGN_PKCS12 and WRIGGLET_SIGN_PASSWORD (and WRIGGLET_SIGN_TIMESTAMP_URL) to sign them"
    echo "$unsigned" >&2
fi

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH
git diff --quiet HEAD 2>/dev/null ||
    echo "warning: uncommitted changes are built but are not in the source tarball" >&2

for preset in win64 win32 native arm64 web; do build_preset "$preset"; done

win64=build/win64 win32=build/win32
if [ -z "$unsigned" ]; then
    echo "== signing the Windows files"
    for preset in win64 win32; do
        scripts/sign-windows.sh "build/$preset" "build/release/signed-$preset" || fail "signing the $preset files failed"
    done
    win64=build/release/signed-win64 win32=build/release/signed-win32
fi

name=wrigglet2004-$version
stage=build/release/$name
rm -rf "$stage" "build/release/$name.zip"
mkdir -p "$stage"
cp "$win64/wrigglet2004.scr" "$win32/wrigglet2004-x86.scr" "$win64/$name-setup-x64.exe" "$win32/$name-setup-x86.exe" \
   "$stage/" || fail "a built file is missing (see build/build-win64.log and build/build-win32.log)"
# Windows text files: CRLF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' installer/README-Windows.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
(cd "$stage" && sha256sum -- *.scr *.exe README.txt LICENSE.txt >SHA256SUMS)

find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd build/release && TZ=UTC find "$name" -print | LC_ALL=C sort | TZ=UTC zip -X -q "$name.zip" -@) \
    || fail "zip failed"

echo "== making the Debian packages"
rm -rf build/release/cpack build/release/wrigglet_*.deb
for preset in native arm64; do
    cpack --preset "$preset" -B "$PWD/build/release/cpack" >"build/release-deb-$preset.log" 2>&1 \
        || fail "cpack failed; see build/release-deb-$preset.log"
    mv build/release/cpack/wrigglet_"$version"_*.deb build/release/ || fail "cpack made no wrigglet_${version}_*.deb"
    rm -rf build/release/cpack
done
debs=(wrigglet_"$version"_amd64.deb wrigglet_"$version"_arm64.deb)

echo "== zipping the page's site"
web=wrigglet2004-web-$version
rm -rf "build/release/$web" "build/release/$web.zip"
cp -r build/web "build/release/$web" || fail "the page's site build/web is missing (see build/build-web.log)"
find "build/release/$web" -type f -exec chmod 0644 {} +
find "build/release/$web" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd build/release && TZ=UTC find "$web" -print | LC_ALL=C sort | TZ=UTC zip -X -q "$web.zip" -@) || fail "zip failed"
rm -rf "build/release/$web"

# git archive stamps every file with the commit's time; gzip -n adds none of its own.
git -c tar.umask=0022 archive --format=tar --prefix="$name/" HEAD | gzip -9n >"build/release/$name.tar.gz" \
    || fail "git archive failed"

(cd build/release && sha256sum -- "$name.zip" "${debs[@]}" "$web.zip" "$name.tar.gz" >SHA256SUMS)
echo "Release files in build/release/ (the archive's files in $stage):"
(cd build/release && stat -c '%8s  %n' -- "$name.zip" "${debs[@]}" "$web.zip" "$name.tar.gz" SHA256SUMS | sed 's/^/  /')
[ -z "$unsigned" ] || echo "$unsigned" >&2
