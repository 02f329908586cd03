#!/usr/bin/env bash
# Builds the source tarball as a distribution's packager would: the committed files
# (`git archive`, as scripts/release.sh makes the tarball) unpacked in a temporary folder and
# built the plain CMake way (Unix Makefiles, Release, -DBUILD_TESTING=OFF) with no git on the
# PATH; then again with the Wayland development files hidden from pkg-config. Each build is
# installed into a DESTDIR and checked: what the configure step says it builds and what it
# built, the commit's time without git, the configured folders in the manual and the desktop
# entries, and no Debian changelog or copyright outside the package.
# Usage: scripts/check-tarball.sh   (skipped, status 77, outside a git checkout)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh

git rev-parse --verify -q HEAD >/dev/null 2>&1 || { echo "skipped: not a git checkout"; exit 77; }
work=$(mktemp -d /tmp/wrigglet-tarball.XXXXXX) || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT
version=$(sed -n 's/^project(Wrigglet2004 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
epoch=$(git log -1 --format=%ct HEAD)
prefix=/opt/wrigglet
git -c tar.umask=0022 archive --format=tar --prefix="wrigglet2004-$version/" HEAD | gzip -n >"$work/source.tar.gz" ||
    fail "git archive failed"
tar -xzf "$work/source.tar.gz" -C "$work" || fail "cannot unpack the tarball"
source=$work/wrigglet2004-$version

# link_all_but DIR PATTERN SEARCH-PATH: links into DIR every file of the folders in SEARCH-PATH
# (colon-separated, the first of a name wins) whose name does not match PATTERN.
link_all_but() {
    local dir=$1 pattern=$2 folder file
    local -a folders
    mkdir -p "$dir"
    IFS=: read -ra folders <<<"$3"
    for folder in "${folders[@]}"; do
        for file in "$folder"/*; do
            # shellcheck disable=SC2053  # the pattern is a glob
            [[ -f $file && ${file##*/} != $pattern && ! -e $dir/${file##*/} ]] && ln -s "$file" "$dir/${file##*/}"
        done
    done
    return 0
}
link_all_but "$work/bin" 'git*' "$PATH"
link_all_but "$work/pkgconfig" 'wayland-*' "${PKG_CONFIG_PATH:+$PKG_CONFIG_PATH:}$(pkg-config --variable pc_path pkg-config)"

# plain_build NAME [ENV=VALUE...]: configures, builds and installs the tarball in
# $work/NAME, with those variables and no git; the installed tree in $work/NAME-root.
plain_build() {
    local build=$work/$1
    shift
    local run=(env -u SOURCE_DATE_EPOCH PATH="$work/bin" "$@")
    echo "== building the tarball the plain way in $build ${*:+($*)}"
    "${run[@]}" cmake -S "$source" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_INSTALL_PREFIX="$prefix" >"$build.configure.log" 2>&1 ||
        { tail -n 20 "$build.configure.log" >&2; fail "configuring the tarball failed"; }
    "${run[@]}" cmake --build "$build" -j "$(parallel_jobs)" >"$build.build.log" 2>&1 ||
        { tail -n 20 "$build.build.log" >&2; fail "building the tarball failed"; }
    DESTDIR=$build-root "${run[@]}" cmake --install "$build" >"$build.install.log" 2>&1 ||
        { tail -n 20 "$build.install.log" >&2; fail "installing the tarball's build failed"; }
}

# expect_features BUILD ENABLED|DISABLED NAME...: the configure summary lists them so.
expect_features() {
    local log=$work/$1.configure.log state=$2 name
    shift 2
    for name in "$@"; do
        sed -n "/features have been $state/,/^--/p" "$log" | grep -q "^ \* $name," ||
            fail "$1's configure summary does not list $name as $state: $(sed -n '/features have been/,$p' "$log")"
    done
}

plain_build full
sed -n '/what the build makes/,/Installs under/p' "$work/full.configure.log"
expect_features full enabled wrigglet wrigglet-wayland wrigglet-sim
expect_features full disabled tests benchmarks
grep -qE '^(GTest|benchmark)_DIR' "$work/full/CMakeCache.txt" && fail "GoogleTest or Google Benchmark looked for without the tests"
for program in x11/wrigglet wayland/wrigglet-wayland sim/wrigglet-sim; do
    [ -x "$work/full/src/$program" ] || fail "the plain build made no src/$program"
done
grep -q "SOURCE_DATE_EPOCH} $epoch)" "$work/full/packaging/deb/cpack-options.cmake" ||
    fail "the tarball's build is not dated by the commit ($epoch)"
root=$work/full-root$prefix
for program in libexec/xscreensaver/wrigglet bin/wrigglet-wayland; do
    [ -x "$root/$program" ] || fail "no $prefix/$program installed: $(cd "$work/full-root" && find . -type f)"
done
[ ! -e "$root/share/doc/wrigglet" ] || fail "cmake --install put the Debian changelog or copyright in share/doc/wrigglet"
zcat "$root/share/man/man6/wrigglet.6.gz" | grep -qx "\.I $prefix/libexec/xscreensaver/wrigglet" ||
    fail "the manual does not name the hack's configured folder"
grep -qx "Exec=$prefix/libexec/xscreensaver/wrigglet --root" "$root/share/applications/screensavers/wrigglet.desktop" ||
    fail "the desktop entry does not run the hack from its configured folder"

plain_build no-wayland PKG_CONFIG_LIBDIR="$work/pkgconfig" PKG_CONFIG_PATH=
expect_features no-wayland enabled wrigglet wrigglet-sim
expect_features no-wayland disabled wrigglet-wayland
[ -x "$work/no-wayland/src/x11/wrigglet" ] || fail "without the Wayland development files the hack was not built"
[ ! -e "$work/no-wayland/src/wayland/wrigglet-wayland" ] || fail "wrigglet-wayland was built without its development files"
echo "PASS: the tarball builds the plain way, with and without the Wayland development files"
