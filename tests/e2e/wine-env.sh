# Shell helpers for running Windows programs under Wine in a private virtual X server.
# Sourced by make-prefix.sh, run-scenario.sh and scripts/run.sh.
#
#   start_xvfb DIR      starts Xvfb on a free display (-displayfd), exports DISPLAY,
#                       writes its log to DIR/xvfb.log; returns non-zero if it fails
#   stop_xvfb           stops the Xvfb that start_xvfb started
#   wine_env PREFIX     exports WINEPREFIX and the quiet, prompt-free Wine settings
#   stop_wine           ends every Wine process of the current WINEPREFIX

E2E_SCREEN=${E2E_SCREEN:-1024x768x24}

start_xvfb() {
    local dir=$1 display_file="$1/xvfb.display"
    rm -f "$display_file"
    # -displayfd makes Xvfb pick a free display number and write it once it is ready,
    # so parallel runs never collide.
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp 3>"$display_file" >"$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        if [ -s "$display_file" ]; then
            export DISPLAY=":$(head -n 1 "$display_file")"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "error: Xvfb did not start (see $dir/xvfb.log)" >&2
    return 1
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
}

wine_env() {
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEARCH=win64
    # No Mono or Gecko installers, no desktop menu entries.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES_EXTRA:+;$WINEDLLOVERRIDES_EXTRA}"
}

stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    return 0
}
