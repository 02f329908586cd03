#!/usr/bin/env bash
# Signs the Windows files of a release (Authenticode, with osslsigncode): the .scr of a
# Windows build tree, then that tree's installer made anew around the signed .scr, its
# uninstaller signed before it is packed and setup itself once it is made.
#
#   scripts/sign-windows.sh BUILD_DIR OUT_DIR   the .scr and setup of build/win64 or
#                                               build/win32, signed, into OUT_DIR
#   scripts/sign-windows.sh --file FILE         signs FILE in place (makensis runs this)
#
# The certificate comes from the environment: WRIGGLET_SIGN_PKCS12, a PKCS#12 file (.pfx,
# .p12) holding the key and the certificate chain; WRIGGLET_SIGN_PASSWORD, its password;
# WRIGGLET_SIGN_TIMESTAMP_URL, optionally, an RFC 3161 time-stamping server, so that the
# signatures stay valid once the certificate has expired.
set -uo pipefail
# The paths given are the caller's; the work is done from the repository's root.
args=()
for arg in "$@"; do [[ $arg == -* ]] && args+=("$arg") || args+=("$(realpath -m "$arg")"); done
set -- "${args[@]}"
[ -z "${WRIGGLET_SIGN_PKCS12:-}" ] || WRIGGLET_SIGN_PKCS12=$(realpath -m "$WRIGGLET_SIGN_PKCS12")
cd "$(dirname "$0")/.." || exit 1
source scripts/lib.sh

[ -n "${WRIGGLET_SIGN_PKCS12:-}" ] || fail "WRIGGLET_SIGN_PKCS12 (the certificate, a PKCS#12 file) is not set"
[ -r "$WRIGGLET_SIGN_PKCS12" ] || fail "cannot read the certificate $WRIGGLET_SIGN_PKCS12"
[ -n "${WRIGGLET_SIGN_PASSWORD+set}" ] || fail "WRIGGLET_SIGN_PASSWORD (the certificate's password) is not set"
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (scripts/ensure-packages.sh osslsigncode)"

# sign_file FILE: signs FILE in place, the password handed over through a pipe rather than
# the command line, which other users could read.
sign_file() {
    local file=$1 signed=$1.signed log=$1.sign.log
    local args=(sign -pkcs12 "$WRIGGLET_SIGN_PKCS12" -readpass /dev/stdin -h sha256 -n Wrigglet2004
                -in "$file" -out "$signed")
    [ -z "${WRIGGLET_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$WRIGGLET_SIGN_TIMESTAMP_URL")
    rm -f "$signed"
    printf '%s' "$WRIGGLET_SIGN_PASSWORD" | osslsigncode "${args[@]}" >"$log" 2>&1 || {
        cat "$log" >&2
        fail "cannot sign $file"
    }
    mv "$signed" "$file" && rm -f "$log"
}

if [ "${1:-}" = --file ]; then
    [ $# -eq 2 ] || fail "usage: $0 --file FILE"
    sign_file "$2"
    exit 0
fi
[ $# -eq 2 ] || fail "usage: $0 BUILD_DIR OUT_DIR | --file FILE"
build=$1 out=$2
options_file=$build/installer/makensis-options.txt
[ -f "$options_file" ] || fail "$options_file is missing: build the Windows preset first"
scr=$(find "$build" -maxdepth 1 -name 'wrigglet2004*.scr' | head -n 1)
setup=$(find "$build" -maxdepth 1 -name 'wrigglet2004-*-setup-*.exe' | head -n 1)
[ -n "$scr" ] || fail "no .scr in $build: build the Windows preset first"
[ -n "$setup" ] || fail "no installer in $build: build the Windows preset first"
version=${setup##*/wrigglet2004-}
version=${version%-setup-*}

mkdir -p "$out"
cp "$scr" "$out/" || fail "cannot copy $scr"
sign_file "$out/${scr##*/}"
mapfile -t options <"$options_file"
makensis "${options[@]}" -DVERSION="$version" -DSCR="$out/${scr##*/}" -DOUTFILE="$out/${setup##*/}" \
    -DSIGN="$PWD/scripts/sign-windows.sh" installer/wrigglet2004.nsi >"$out/makensis.log" 2>&1 \
    || fail "makensis failed (see $out/makensis.log)"
rm -f "$out/makensis.log"
echo "signed: $out/${scr##*/} $out/${setup##*/}"
