# Sourced by the scripts that run the saver under Wine outside the test command (the soak,
# the Wine benchmark): builds win64 and prepares build/NAME with a Wine prefix made once and
# kept, and the harness's variables pointing there; and the opening their scenarios share.
# Expects fail() from the caller.
wine_workplace() {  # NAME
    local dir=build/$1
    scripts/ensure-packages.sh "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}" || fail "could not install the packages"
    mkdir -p "$dir"
    cmake --preset win64 >"$dir/configure.log" 2>&1 || fail "configuring win64 failed; see $dir/configure.log"
    cmake --build --preset win64 -j 2 >"$dir/build.log" 2>&1 || fail "building win64 failed; see $dir/build.log"
    export E2E_SAVER=$PWD/build/win64/wrigglet2004.scr E2E_BIN=$PWD/build/win64/e2e/bin
    export E2E_TEMPLATE=$PWD/$dir/prefix-template E2E_WORK=$PWD/$dir/work
    if [ ! -f "$E2E_TEMPLATE/system.reg" ]; then
        echo "Making the Wine prefix $dir/prefix-template (once)..."
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
