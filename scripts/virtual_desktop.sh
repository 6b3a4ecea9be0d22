# Sourced by the scripts that run the program on a virtual X screen (the real-window check, the
# window's benchmarks, the screenshot).
#
#   start_virtual_desktop WIDTHxHEIGHT [openbox] [atspi]
#
# picks a free display and exports DISPLAY, starts Xvfb at 96 dpi and waits until it answers;
# with "openbox" a window manager too, waited for until it runs; with "atspi" the accessibility
# bus (the caller runs inside dbus-run-session). Everything started is stopped by
# stop_virtual_desktop, which the caller's EXIT trap calls.
desktop_pids=()

start_virtual_desktop() {
    local size=$1 display=90 part
    shift
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
        display=$((display + 1))
    done
    export DISPLAY=:$display
    Xvfb "$DISPLAY" -screen 0 "${size}x24" -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    desktop_pids+=($!)
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    for part in "$@"; do
        case $part in
            openbox)
                openbox >/dev/null 2>&1 &
                desktop_pids+=($!)
                # A window shown before the window manager runs gets no focus from it.
                for _ in $(seq 100); do
                    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
                    sleep 0.1
                done
                ;;
            atspi)
                /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
                desktop_pids+=($!)
                sleep 1
                ;;
        esac
    done
}

stop_virtual_desktop() {
    local pid
    for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
