#!/usr/bin/env bash
# The Debian package end to end: cpack makes it from the native build; lintian finds no error;
# the programs in it are hardened (hardening-check), its AppStream metadata is valid and its
# icons have their sizes. Only with WRIGGLET_TEST_DEB_INSTALL=1 (scripts/test.sh sets it), as
# root, and when every dependency is installed already (no network): apt installs it, the
# installed hack runs and its manual is found, and removing and purging it leaves nothing
# behind. ctest passes DEB_BUILD, DEB_WORK and DEB_VERSION.
set -uo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }

for tool in lintian dpkg-shlibdeps hardening-check objdump appstreamcli file; do
    command -v "$tool" >/dev/null || skip "$tool is missing (scripts/test.sh installs it)"
done

rm -rf "$DEB_WORK" && mkdir -p "$DEB_WORK"
cpack --config "$DEB_BUILD/CPackConfig.cmake" -G DEB -B "$DEB_WORK" >"$DEB_WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 5 "$DEB_WORK/cpack.log")"
deb=$DEB_WORK/wrigglet_${DEB_VERSION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$DEB_WORK")"

lintian --fail-on error,warning "$deb" >"$DEB_WORK/lintian.log" 2>&1
lintian_status=$?
cat "$DEB_WORK/lintian.log"
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings"

# Where XScreenSaver, MATE's screen saver, man, software centres and the policy look; and
# dependencies from what the programs link.
dpkg-deb -c "$deb" >"$DEB_WORK/contents.txt" || fail "dpkg-deb cannot read $deb"
hack=usr/libexec/xscreensaver/wrigglet wayland=usr/bin/wrigglet-wayland
for file in $hack usr/share/xscreensaver/config/wrigglet.xml usr/share/man/man6/wrigglet.6.gz $wayland \
    usr/share/man/man6/wrigglet-wayland.6.gz usr/share/doc/wrigglet/copyright usr/share/doc/wrigglet/changelog.gz \
    usr/lib/systemd/user/wrigglet-wayland.service usr/share/applications/screensavers/wrigglet.desktop \
    usr/share/metainfo/org.example.wrigglet.metainfo.xml; do
    grep -q " \./$file\$" "$DEB_WORK/contents.txt" || fail "the package has no /$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libx11-6 libwayland-client0 libsystemd0 libfontconfig1 fonts-dejavu-core; do
    [[ ", $depends" == *", $package "* || ", $depends," == *", $package,"* ]] ||
        fail "Depends lacks $package: $depends"
done

root=$DEB_WORK/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack $deb"
# Debian 12's C start files carry no control-flow marks, so the linker leaves them off every
# program (Debian's own too): the test looks for the instructions -fcf-protection puts in
# instead. wrigglet-wayland's buffer copies have no size the compiler knows, so none of its
# calls can be fortified; the hack's can.
hardening-check --nocfprotection "$root/$hack" || fail "the hack is not hardened"
hardening-check --nocfprotection --nofortify "$root/$wayland" || fail "wrigglet-wayland is not hardened"
if [ "$(dpkg --print-architecture)" = amd64 ]; then
    for program in $hack $wayland; do
        [ "$(objdump -d "$root/$program" | grep -c endbr64)" -gt 0 ] || fail "/$program has no control-flow protection"
    done
fi

appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "the AppStream metadata is not valid"
for size in 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x$size/apps/wrigglet.png" | grep -q "PNG image data, $size x $size," ||
        fail "no ${size}x$size icon"
done
# The largest is the pixel art enlarged, each pixel an 8x8 square of one colour.
if command -v compare >/dev/null; then
    icons=$root/usr/share/icons/hicolor
    convert "$icons/32x32/apps/wrigglet.png" -scale 800% "$DEB_WORK/enlarged.png" || fail "cannot read the 32x32 icon"
    [ "$(compare -metric AE "$icons/256x256/apps/wrigglet.png" "$DEB_WORK/enlarged.png" null: 2>&1)" = 0 ] ||
        fail "the 256x256 icon is not the 32x32 one enlarged"
fi

[ "${WRIGGLET_TEST_DEB_INSTALL:-}" = 1 ] || {
    echo "PASS: $(basename "$deb"); installing it is tested with WRIGGLET_TEST_DEB_INSTALL=1 (scripts/test.sh)"
    exit 0
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
dpkg-query -W -f='${Status}' wrigglet 2>/dev/null | grep -q installed &&
    skip "wrigglet is installed already; 'apt purge wrigglet' before running this test"
# The package alone, from the machine's own packages: nothing fetched, nothing else changed.
others=$(apt-get -s install --no-install-recommends "$deb" 2>&1 | sed -n 's/^\(Inst\|Remv\) \([^ ]*\).*/\2/p' |
    grep -vx wrigglet | tr '\n' ' ')
[ -z "$others" ] || skip "installing the package would also change: $others"

# Every path the package brings that is not on the system yet must be gone again after removal;
# a file already there (a 'cmake --install', say) is not the test's to replace.
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^$')
new=()
for path in "${paths[@]}"; do
    if [ ! -e "$path" ]; then new+=("$path"); elif [ ! -d "$path" ]; then skip "$path exists already"; fi
done

installed=
cleanup() { [ -n "$installed" ] && apt purge wrigglet >/dev/null 2>&1; }
trap cleanup EXIT
trap 'exit 1' INT TERM
installed=yes
apt install --no-install-recommends "$deb" >"$DEB_WORK/install.log" 2>&1 ||
    fail "apt install failed: $(tail -n 5 "$DEB_WORK/install.log")"

/$hack -help >"$DEB_WORK/help.txt" 2>&1 || fail "the installed hack does not run: $(head -n 3 "$DEB_WORK/help.txt")"
grep -q '^usage: wrigglet' "$DEB_WORK/help.txt" || fail "no usage from -help: $(head -n 3 "$DEB_WORK/help.txt")"
# Read whole before it is matched: grep -q would end the pipe at the first line, and pipefail
# would take the program's SIGPIPE for a failure.
[[ $(/$wayland -help 2>&1) == 'usage: wrigglet-wayland '* ]] || fail "the installed wrigglet-wayland does not run"
# The settings page's Documentation button asks man for the page by the hack's name.
if command -v man >/dev/null && [ -e /usr/share/man/man6/wrigglet.6.gz ]; then
    [ "$(man -w wrigglet)" = /usr/share/man/man6/wrigglet.6.gz ] || fail "man does not find wrigglet: $(man -w wrigglet 2>&1)"
fi

left() {
    local path
    for path in "${new[@]}"; do [ -e "$path" ] && echo "$path"; done
}
apt remove wrigglet >"$DEB_WORK/remove.log" 2>&1 || fail "apt remove failed: $(tail -n 5 "$DEB_WORK/remove.log")"
[ -z "$(left)" ] || fail "removing left: $(left | tr '\n' ' ')"
# With no configuration files the removal forgets the package; purge whatever dpkg still keeps.
if dpkg-query -W wrigglet >/dev/null 2>&1; then
    apt purge wrigglet >"$DEB_WORK/purge.log" 2>&1 || fail "apt purge failed: $(tail -n 5 "$DEB_WORK/purge.log")"
fi
installed=
dpkg -L wrigglet >/dev/null 2>&1 && fail "dpkg still knows wrigglet after the purge"
[ -z "$(left)" ] || fail "purging left: $(left | tr '\n' ' ')"
echo "PASS: $(basename "$deb") ($(stat -c %s "$deb") bytes), installed, run and purged"
