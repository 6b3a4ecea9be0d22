#!/bin/bash
# The real-window check: the program on an X server (Xvfb) with a window manager (openbox),
# driven with keys and clicks sent through the server (xdotool) and read over AT-SPI, in a
# folder of its own with its own settings. Screenshots go to build/real-window/.
#   tests/desktop/real_window_check.sh [path/to/trovix7 [screenshot folder]]
# Needs xvfb, openbox, xdotool, imagemagick, dbus, at-spi2-core and python3-pyatspi (./dev
# installs them); without one of them it says which and exits 77, which ctest counts as skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."
for tool in Xvfb openbox xdotool import dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "real_window_check: $tool is missing: skipped"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "real_window_check: python3-pyatspi is missing: skipped"; exit 77; }
if [ -z "${TROVIX_IN_SESSION:-}" ]; then
    exec dbus-run-session -- env TROVIX_IN_SESSION=1 "$0" "$@"
fi

program=$(realpath "${1:-build/src/trovix7}")
shots=$(realpath -m "${2:-build/real-window}")
work=$(mktemp -d)
mkdir -p "$work/program" "$work/home" "$work/bin" "$shots"
# The window library lies beside a built program.
cp "$program" "$(dirname "$program")/trovix7_window.so" "$work/program/"
source scripts/virtual_desktop.sh
started=()
finish() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_virtual_desktop
    rm -rf "$work"
}
trap finish EXIT

# List 1 holds more records than it shows: thirty people, then the ones searched for.
{
    for i in $(seq 10 39); do printf 'Person %s\r\n-----555-02%s\r\n' "$i" "$i"; done
    printf 'Smith, Janelle\r\n-----12 Elm Street\r\n-----(212) 555-0100\r\n'
    printf 'Pizza Palace\r\n-----555-0199\r\nSmith, Cy\r\n-----555-0123\r\n'
} >"$work/program/phone_numbers.txt"
printf 'Smithers, Al\r\nA tagline\r\n' >"$work/program/taglines.txt"
printf '212  New York\r\n479  Arkansas\r\n' >"$work/program/area_codes.txt"
# The desktop's opener, noting what it was asked to open instead of opening it.
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

start_virtual_desktop 1280x1024 openbox atspi

HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    PATH="$work/bin:$PATH" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$work/program/trovix7" >"$work/program.log" 2>&1 &
started+=($!)
# As the window manager gives a new window the focus, also when it started late on a busy machine.
xdotool search --sync --name '^Trovix$' windowactivate --sync >/dev/null 2>&1 || true
sleep 1
TROVIX_OPENED="$work/opened" /usr/bin/python3 tests/desktop/real_window_check.py \
    "$work/program" "$shots"
