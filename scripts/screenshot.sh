#!/usr/bin/env bash
# Remakes docs/screenshot.png: starts the program built in build/ on a virtual X screen, with the
# sample data files, fresh settings and a search typed in, and photographs its window.
#   scripts/screenshot.sh [search text]
# Needs Xvfb, xdotool and ImageMagick (apt-get install xvfb xdotool imagemagick). Nothing of the
# user's is read or written: the program runs from a temporary folder with its own settings.
set -euo pipefail
cd "$(dirname "$0")/.."
search=${1:-ill}

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 1; }
done
cmake --build build --target trovix7 >/dev/null

work=$(mktemp -d)
pids=()
source scripts/virtual_desktop.sh
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_virtual_desktop
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The program keeps its data files in its own folder when it may write there.
cp build/src/trovix7 build/src/trovix7_window.so data/phone_numbers.txt data/taglines.txt data/area_codes.txt "$work/"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Trovix"
# 720 x 540 pixels at 15 twips each, at the screen's top left; Search While Typing on.
cat >"$XDG_CONFIG_HOME/Trovix/Trovix.ini" <<'INI'
[Settings]
MainLeft=0
MainTop=0
MainWidth=10800
MainHeight=8100
Typing=True
INI

# A free display number.
start_virtual_desktop 1024x768

# Qt's own style and palette, whatever the caller's desktop uses.
QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_SCALE_FACTOR=1 "$work/trovix7" >/dev/null 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^Trovix$' | head -n 1)
sleep 1
xdotool type --window "$window" --delay 80 "$search" 2>/dev/null
sleep 1
import -window "$window" -strip "$work/shot.png"
mkdir -p docs
mv "$work/shot.png" docs/screenshot.png
echo "docs/screenshot.png: $(identify -format '%w x %h' docs/screenshot.png), search \"$search\""
