#!/usr/bin/env bash
# Builds everything (native, native-asan, win64, win32, web, arm64) and runs every test; the
# arm64 build's tests run under qemu-user, and its frames are compared with the native ones;
# the page runs in headless Chromium; the source tarball is built the plain CMake way.
# Installs the Debian packages it misses; safe to run again. The tests that start Xorg with
# the dummy driver or install the Debian package do so only when asked, as here.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}" "${X11_TEST_PACKAGES[@]}" \
    "${WAYLAND_TEST_PACKAGES[@]}" "${DEB_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
# Apart, so that the machine's own tools are in place before another architecture's libraries.
ensure_packages "${ARM64_PACKAGES[@]}"
# The page's tests compare it with the native simulator, so web comes after native.
presets=(win64 win32 native native-asan web)
test_presets=(native native-asan win64 web)
if command -v aarch64-linux-gnu-g++ >/dev/null; then
    presets+=(arm64)
    test_presets+=(arm64)
fi

# The Windows builds come first: native tests inspect the built .scr files.
for preset in "${presets[@]}"; do build_preset "$preset"; done

export WRIGGLET_TEST_XORG=1 WRIGGLET_TEST_DEB_INSTALL=1
passed=0; failed=0; status=0
for preset in "${test_presets[@]}"; do
    echo "== testing $preset"
    log="build/test-$preset.log"
    ctest --preset "$preset" -j "$(parallel_jobs)" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$summary" ]; then
        total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$summary")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
        passed=$((passed + total - bad)); failed=$((failed + bad))
    fi
done

if [[ " ${presets[*]} " == *" arm64 "* ]]; then
    echo "== comparing arm64 frames with the native ones"
    if scripts/compare-arm64.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
fi

echo "== building the source tarball the plain way"
scripts/check-tarball.sh >build/test-tarball.log 2>&1
case $? in
    0) passed=$((passed + 1)) ;;
    77) tail -n 1 build/test-tarball.log ;;
    *) tail -n 5 build/test-tarball.log; failed=$((failed + 1)); status=1 ;;
esac

echo "$passed passed, $failed failed"
[ "$status" -eq 0 ] || fail "some tests failed (logs in build/test-*.log)"
