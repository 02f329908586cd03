# The private X servers of the Wine, X11 and benchmark scripts, and the known desktop pictures
# shown on them (sourced; brings scripts/lib.sh along).
#
#   start_xvfb DIR      starts Xvfb on a free display (-displayfd), exports DISPLAY,
#                       writes its log to DIR/xvfb.log; fails the script if it does not
#                       start (XVFB_ARGS adds server options)
#   stop_xvfb           stops the Xvfb that start_xvfb started
#   start_xorg DIR LAYOUT
#                       starts Xorg with the dummy video driver on a free display, one output
#                       a monitor of LAYOUT ("WxH+X+Y ...", X positions, the primary first),
#                       exports DISPLAY and E2E_SCREEN (the whole X screen); needs root.
#                       Xvfb has one monitor only, which is why the multi-monitor scenarios
#                       need this. Logs in DIR/xorg.log and DIR/xrandr.log
#   stop_xorg           stops the Xorg that start_xorg started
#   make_picture KIND DIR
#                       makes a known picture (gradient or blocks) of the screen's size as
#                       DIR/picture.png and DIR/picture.ppm
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

E2E_SCREEN=${E2E_SCREEN:-1024x768x24}

# display_ready FILE PID: the server has written its display number to FILE, or has ended.
display_ready() {
    [ -s "$1" ] || process_ended "$2"
}

start_xvfb() {
    local dir=$1 display_file="$1/xvfb.display"
    rm -f "$display_file"
    # -displayfd makes Xvfb pick a free display number and write it once it is ready,
    # so parallel runs never collide.
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" ${XVFB_ARGS:-} -nolisten tcp 3>"$display_file" >"$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 10 display_ready "$display_file" "$XVFB_PID"
    [ -s "$display_file" ] || fail "Xvfb did not start (see $dir/xvfb.log)"
    export DISPLAY=":$(head -n 1 "$display_file")"
}

stop_xvfb() {
    stop_process "${XVFB_PID:-}"
    XVFB_PID=
}

# The config of a dummy-driven screen large enough for the layout, with no input devices
# (the host's must never be taken). The video memory holds the whole screen at 32 bits a
# pixel and some to spare, at least the 250 MB the smaller layouts have always had.
dummy_xorg_config() {  # WIDTH HEIGHT
    local video_kb=$(($1 * $2 * 4 / 1024 + 32768))
    ((video_kb > 256000)) || video_kb=256000
    cat <<CONFIG
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam $video_kb
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
    [ "$(id -u)" -eq 0 ] || fail "the multi-monitor scenarios start Xorg, which needs root"
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
    wait_for 15 display_ready "$display_file" "$XORG_PID"
    [ -s "$display_file" ] || fail "Xorg did not start (see $dir/xorg.log)"
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
        || fail "xrandr could not set the layout (see $dir/xrandr.log)"
    # A full query probes the outputs: until then the dummy driver calls every output but the
    # first disconnected, and Wine, which reads the current state without probing, would see
    # one monitor.
    xrandr --query >>"$dir/xrandr.log" 2>&1
    export E2E_SCREEN="${width}x${height}x24"
}

stop_xorg() {
    stop_process "${XORG_PID:-}"
    XORG_PID=
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
