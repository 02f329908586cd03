# Shell helpers for running Windows programs under Wine in a private virtual X server.
# Sourced by make-prefix.sh, run-scenario.sh and scripts/run.sh.
#
#   start_xvfb DIR      starts Xvfb on a free display (-displayfd), exports DISPLAY,
#                       writes its log to DIR/xvfb.log; returns non-zero if it fails
#                       (XVFB_ARGS adds server options)
#   stop_xvfb           stops the Xvfb that start_xvfb started
#   wine_env PREFIX     exports WINEPREFIX and the quiet, prompt-free Wine settings
#   stop_wine           ends every Wine process of the current WINEPREFIX
#   make_picture KIND DIR
#                       makes a known picture (gradient or blocks) of the screen's size as
#                       DIR/picture.png and DIR/picture.ppm

E2E_SCREEN=${E2E_SCREEN:-1024x768x24}

start_xvfb() {
    local dir=$1 display_file="$1/xvfb.display"
    rm -f "$display_file"
    # -displayfd makes Xvfb pick a free display number and write it once it is ready,
    # so parallel runs never collide.
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" ${XVFB_ARGS:-} -nolisten tcp 3>"$display_file" >"$dir/xvfb.log" 2>&1 &
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

# Known pictures for the desktop the saver captures. Their red is 0 everywhere, so no pixel
# of theirs has a colour the scene draws (every such colour has some red, black aside).
make_picture() {
    local kind=$1 dir=$2 size=${E2E_SCREEN%x*}
    local w=${size%x*} h=${size#*x}
    case $kind in
        gradient)  # green grows downwards, blue to the left: every pixel says where it is
            convert -size "${w}x${h}" gradient:'#000000-#00ff00' \
                \( -size "${h}x${w}" gradient:'#0000ff-#000040' -rotate 90 \) \
                -compose plus -composite -depth 8 "$dir/picture.png" ;;
        blocks)  # four solid quarters
            convert -size "${w}x${h}" xc:'#0000ff' -fill '#00ffff' -draw "rectangle $((w / 2)),0 $w,$((h / 2 - 1))" \
                -fill '#008080' -draw "rectangle 0,$((h / 2)) $((w / 2 - 1)),$h" \
                -fill '#0080ff' -draw "rectangle $((w / 2)),$((h / 2)) $w,$h" -depth 8 "$dir/picture.png" ;;
        *) echo "error: unknown picture '$kind'" >&2; return 1 ;;
    esac
    convert "$dir/picture.png" -strip -depth 8 ppm:"$dir/picture.ppm"
}
