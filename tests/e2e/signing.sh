#!/usr/bin/env bash
# The release's signing (scripts/sign-windows.sh) with a throw-away certificate made here:
# the .scr, setup and the uninstaller packed in setup each carry a signature that
# osslsigncode verifies against that certificate, setup packs the signed .scr, and an
# unsigned .scr fails the same check. The signed win64 setup stays in E2E_SIGNED for the
# installer scenario, which checks the installed files' signatures under Wine.
#
# Usage: signing.sh BUILD_DIR...   (a Windows build tree not yet built is left out)
# Environment: E2E_SIGNED, the directory to work in. Skipped (77) without openssl,
# osslsigncode or 7z.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/lib.sh"

for tool in openssl osslsigncode 7z; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
out=${E2E_SIGNED:?E2E_SIGNED is not set}
rm -rf "$out"
mkdir -p "$out"
make_certificate() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Wrigglet2004 throw-away signer" \
        -addext extendedKeyUsage=codeSigning -keyout "$out/key.pem" -out "$out/signer.pem" &&
        openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/signer.pem" -passout pass:throwaway -out "$out/signer.p12"
}
make_certificate >"$out/openssl.log" 2>&1 || fail "openssl made no certificate (see $out/openssl.log)"

verifies() {  # FILE
    osslsigncode verify -CAfile "$out/signer.pem" -in "$1" >"$1.verify.log" 2>&1
}

for build in "$@"; do
    name=$(basename "$build") signed=$out/$(basename "$build")
    if ! compgen -G "$build/wrigglet2004-*-setup-*.exe" >/dev/null; then
        echo "$name is not built: not signed here"
        continue
    fi
    WRIGGLET_SIGN_PKCS12=$out/signer.p12 WRIGGLET_SIGN_PASSWORD=throwaway "$scripts/sign-windows.sh" "$build" "$signed" \
        || fail "signing $name failed"
    scr=$(find "$signed" -name '*.scr') setup=$(find "$signed" -name '*-setup-*.exe')
    7z x -o"$signed/packed" "$setup" >"$signed/7z.log" 2>&1 || fail "7z cannot open $setup"
    for file in "$scr" "$setup" "$signed/packed/uninstall.exe"; do
        verifies "$file" || fail "$file: the signature does not verify (see $file.verify.log)"
    done
    cmp -s "$signed/packed/\$SYSDIR/$(basename "$scr")" "$scr" || fail "$setup does not pack the signed .scr"
    cp "$build/$(basename "$scr")" "$out/unsigned.scr"
    ! verifies "$out/unsigned.scr" || fail "an unsigned .scr passes the check"
    echo "$name: the .scr, setup and its uninstaller are signed and verify"
done
