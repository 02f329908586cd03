# Shell helpers for running Windows programs under Wine in a private virtual X server.
# Sourced by make-prefix.sh, run-scenario.sh and scripts/run.sh.
#
#   start_xvfb DIR      starts Xvfb on a free display (-displayfd), exports DISPLAY,
#                       writes its log to DIR/xvfb.log; returns non-zero if it fails
#                       (XVFB_ARGS adds server options)
#   stop_xvfb           stops the Xvfb that start_xvfb started
#   start_xorg DIR LAYOUT
#                       starts Xorg with the dummy video driver on a free display, one output
#                       a monitor of LAYOUT ("WxH+X+Y ...", X positions, the primary first),
#                       exports DISPLAY and E2E_SCREEN (the whole X screen); needs root.
#                       Xvfb has one monitor only, which is why the multi-monitor scenarios
#                       need this. Logs in DIR/xorg.log and DIR/xrandr.log
#   stop_xorg           stops the Xorg that start_xorg started
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

# The config of a dummy-driven screen large enough for the layout, with no input devices
# (the host's must never be taken).
dummy_xorg_config() {  # WIDTH HEIGHT
    cat <<CONFIG
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual $1 $2
    EndSubSection
EndSection
CONFIG
}

start_xorg() {
    local dir=$1 layout=$2 display_file="$1/xorg.display" width=0 height=0 monitor
    [ "$(id -u)" -eq 0 ] || { echo "error: the multi-monitor scenarios start Xorg, which needs root" >&2; return 1; }
    for monitor in $layout; do
        local size=${monitor%%[+-]*} at=${monitor#*[+-]}
        local w=${size%x*} h=${size#*x} x=${at%%[+-]*} y=${at#*[+-]}
        (( x + w > width )) && width=$((x + w))
        (( y + h > height )) && height=$((y + h))
    done
    dummy_xorg_config "$width" "$height" >"$dir/xorg.conf"
    rm -f "$display_file"
    Xorg -displayfd 3 -noreset -nolisten tcp -config "$dir/xorg.conf" -logfile "$dir/xorg.log" \
        3>"$display_file" >"$dir/xorg.out" 2>&1 &
    XORG_PID=$!
    local i
    for i in $(seq 150); do
        [ -s "$display_file" ] && break
        kill -0 "$XORG_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$display_file" ] || { echo "error: Xorg did not start (see $dir/xorg.log)" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$display_file")"
    # A mode of each size (60 Hz-like timings; the dummy driver takes any), one output each.
    local arguments=() n=0
    for monitor in $layout; do
        local size=${monitor%%[+-]*} at=${monitor#*[+-]}
        local w=${size%x*} h=${size#*x} x=${at%%[+-]*} y=${at#*[+-]}
        local clock=$(( (w + 224) * (h + 24) * 60 / 10000 ))
        xrandr --newmode "e2e_$size" "$((clock / 100)).$(printf %02d $((clock % 100)))" \
            "$w" "$((w + 32))" "$((w + 112))" "$((w + 224))" "$h" "$((h + 3))" "$((h + 7))" "$((h + 24))" \
            -hsync +vsync >>"$dir/xrandr.log" 2>&1
        xrandr --addmode "DUMMY$n" "e2e_$size" >>"$dir/xrandr.log" 2>&1
        arguments+=(--output "DUMMY$n" --mode "e2e_$size" --pos "${x}x${y}")
        [ $n -eq 0 ] && arguments+=(--primary)
        n=$((n + 1))
    done
    xrandr "${arguments[@]}" --fb "${width}x${height}" >>"$dir/xrandr.log" 2>&1 \
        || { echo "error: xrandr could not set the layout (see $dir/xrandr.log)" >&2; return 1; }
    # A full query probes the outputs: until then the dummy driver calls every output but the
    # first disconnected, and Wine, which reads the current state without probing, would see
    # one monitor.
    xrandr --query >>"$dir/xrandr.log" 2>&1
    export E2E_SCREEN="${width}x${height}x24"
}

stop_xorg() {
    if [ -n "${XORG_PID:-}" ]; then
        kill "$XORG_PID" 2>/dev/null
        wait "$XORG_PID" 2>/dev/null
        XORG_PID=
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
