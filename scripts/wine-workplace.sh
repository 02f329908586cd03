# Wine for the scripts and the end-to-end tests (sourced; brings scripts/lib.sh along): the
# environment a prefix runs in, and the workplace of the scripts that run the saver through
# the scenario runner outside the test command (the run command, the soak, the Wine
# benchmark), with the opening their measuring scenarios share.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# wine_env PREFIX: exports WINEPREFIX and the quiet, prompt-free Wine settings.
wine_env() {
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEARCH=win64
    # No Mono or Gecko installers, no desktop menu entries.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES_EXTRA:+;$WINEDLLOVERRIDES_EXTRA}"
}

# Ends every Wine process of the current WINEPREFIX.
stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    return 0
}

# wine_workplace NAME, from the repository's root: builds win64 and prepares build/NAME, with
# a Wine prefix (build/NAME/prefix) made once and kept, and the scenario runner's variables
# pointing there.
wine_workplace() {
    local dir=build/$1
    ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}"
    build_preset win64
    mkdir -p "$dir"
    export E2E_SAVER=$PWD/build/win64/wrigglet2004.scr E2E_BIN=$PWD/build/win64/e2e/bin
    export E2E_TEMPLATE=$PWD/$dir/prefix E2E_WORK=$PWD/$dir/work
    if [ ! -f "$E2E_TEMPLATE/system.reg" ]; then
        echo "Making the Wine prefix $dir/prefix (once)..."
        tests/e2e/make-prefix.sh >"$dir/prefix.log" 2>&1 || fail "the Wine prefix failed; see $dir/prefix.log"
    fi
}

# The stage of a measuring scenario: Lots, Turbo and Text on, a gradient desktop, the test
# readout on, the pointer in a corner.
lots_turbo_stage() {  # SCREEN|"MONITORS..." DESKTOP(0|1)
    local key='"HKCU\Software\Tolvarin\ScreenSavers\Wrigglet"'
    case $1 in
        *+*) echo "#@ monitors: $1" ;;  # WxH+X+Y ..., the primary first at 0,0
        *)   echo "#@ screen: $1" ;;
    esac
    echo "#@ picture: gradient"
    echo "reg-set-dword $key Desktop $2"
    echo "reg-set-dword $key Sound 0"
    echo "reg-set-dword $key Text 1"
    echo "reg-set-dword $key Speed 3"
    echo "reg-set-dword $key Wrigglets 3"
    echo "set-env WRIGGLET_TEST_READOUT 1"
    echo "show-picture Desk picture.ppm"
    echo "set-cursor 1 1"
}

# The stage, and the saver started as S.
lots_turbo_opening() {  # SCREEN|"MONITORS..." DESKTOP(0|1)
    lots_turbo_stage "$@"
    echo "launch S /s"
}
