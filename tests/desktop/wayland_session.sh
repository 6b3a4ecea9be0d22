#!/bin/bash
# Runs a program in a Wayland session of its own, with Qt's Wayland platform: weston, whose
# output is a window on a virtual X screen (Xvfb). Weston's headless back end has no keyboard, so
# no window there ever gets the keyboard focus; its X11 back end has one and gives a new window
# the focus as a desktop does.
#   tests/desktop/wayland_session.sh program [arguments...]
# Exits with the program's status, or 77, which ctest counts as skipped, when weston, Xvfb,
# xdotool or Qt's Wayland platform plugin (qt6-wayland) is missing.
set -euo pipefail
for tool in weston Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "wayland_session: $tool is missing: skipped"; exit 77; }
done
source "$(dirname "$0")/../../scripts/virtual_desktop.sh"
# The session's sockets go into a folder only this user can enter, as weston wants.
runtime=$(mktemp -d)
weston_pid=""
finish() {
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    stop_virtual_desktop
    rm -rf "$runtime"
}
trap finish EXIT

start_virtual_desktop 1280x1024
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --use-pixman --no-config \
    --socket=trovix --idle-time=0 --width=1200 --height=960 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$runtime/trovix" ] && break; sleep 0.1; done
if [ ! -S "$runtime/trovix" ]; then
    cat "$runtime/weston.log" >&2
    echo "wayland_session: weston did not start" >&2
    exit 1
fi

status=0
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=trovix QT_QPA_PLATFORM=wayland \
    "$@" >"$runtime/program.log" 2>&1 || status=$?
cat "$runtime/program.log"
if [ "$status" -ne 0 ] &&
    grep -q 'Could not find the Qt platform plugin "wayland"' "$runtime/program.log"; then
    echo "wayland_session: Qt's Wayland platform plugin (qt6-wayland) is missing: skipped"
    exit 77
fi
exit "$status"
