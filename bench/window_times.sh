#!/usr/bin/env bash
# Times the program itself from outside, on a virtual X screen: how long its window takes to
# appear with three tiny data files and with a large one in the first list, and how soon the
# process ends after the user closes a window whose large file was sorted and answers No.
#
#   bench/window_times.sh PROGRAM DATA_FILE [RUNS]
#
# Prints "name value" lines (seconds) for bench/run.sh: window_tiny, window_large (best of RUNS,
# default 3, each from the start of the process until its window is shown on the screen),
# close_gone (from the answer No until the window is off the screen), close_end (from the answer
# until the process has ended) and close_after_settings (from the settings file's last write
# until the process has ended). Needs Xvfb and xdotool; prints "window_skipped REASON" without
# them. The program runs from a temporary folder with settings of its own.
set -euo pipefail
program=$1
data_file=$2
runs=${3:-3}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tree=$(dirname "$here")

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "window_skipped $tool is not installed"
        exit 0
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/trovix_window.XXXXXX")
pids=()
source "$tree/scripts/virtual_desktop.sh"
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_virtual_desktop
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The program and the window library it loads from beside it.
cp "$program" "$work/trovix7"
cp "$(dirname "$program")/trovix7_window.so" "$work/"
cp "$tree/data/phone_numbers.txt" "$tree/data/taglines.txt" "$tree/data/area_codes.txt" "$work/"
ln -s "$(realpath "$data_file")" "$work/large.txt"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
settings=$XDG_CONFIG_HOME/Trovix/Trovix.ini
mkdir -p "$(dirname "$settings")"

start_virtual_desktop 1024x768

now() { echo "$EPOCHREALTIME"; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a - b }'; }

# Fresh settings: the window at the top left, Search While Typing off, list 1 with focus.
fresh_settings() {
    cat >"$settings" <<'INI'
[Settings]
MainLeft=0
MainTop=0
MainWidth=10800
MainHeight=8100
Typing=False
ListWithFocus=1
INI
}

shown_window() { xdotool search --onlyvisible --name '^Trovix$' 2>/dev/null | head -n 1 || true; }

# Starts the program on three files and waits until its window is on the screen; sets
# `started`, `shown`, `window` and `pid`.
start_program() {
    fresh_settings
    started=$(now)
    (cd "$work" && QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_SCALE_FACTOR=1 exec ./trovix7 \
        "$@" >/dev/null 2>"$work/stderr") &
    pid=$!
    pids+=("$pid")
    window=""
    for _ in $(seq 20000); do
        window=$(shown_window)
        [[ -n $window ]] && break
        kill -0 "$pid" 2>/dev/null || { echo "window_skipped the program ended at start" ; exit 0; }
    done
    shown=$(now)
}

# Ends the program without a question, and waits for it.
stop_program() {
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

best() { sort -g | head -n 1; }
# The windows of a process on the screen.
windows_of() { { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; } | wc -l; }

for files in tiny large; do
    for ((run = 0; run < runs; ++run)); do
        if [[ $files == tiny ]]; then
            start_program phone_numbers.txt taglines.txt area_codes.txt
        else
            start_program large.txt taglines.txt area_codes.txt
        fi
        echo "$(minus "$shown" "$started")" >>"$work/$files"
        stop_program
    done
    echo "window_$files $(best <"$work/$files")"
done

# Closing after a sort: a click on the toolbar's Sort button (where the window of the settings
# above shows it, 720 x 540 pixels at the top left), "..x" and Enter in the search box, which
# close the window, and N, which answers No to the question about the unsaved change.
start_program large.txt taglines.txt area_codes.txt
sleep 1
xdotool mousemove --sync 322 34 click 1
# The sort is done when the window takes events again: a click into the search box and the
# text typed there wait for it.
xdotool mousemove --sync 350 80 click 1
xdotool type --delay 30 "..x"
xdotool key Return
for _ in $(seq 3000); do
    (($(windows_of "$pid") >= 2)) && break
done
sleep 0.5
if (($(windows_of "$pid") < 2)); then
    echo "warning: closing after the sort asked nothing: the sort did not happen"
    stop_program
    exit 0
fi
before_answer=$(stat -c '%.9Y' "$settings")
# Taken once the key is on its way: xdotool's own start is not the program's time.
xdotool key n
answered=$(now)
gone=""
give_up=$(awk -v a="$answered" 'BEGIN { print a + 60 }')
while kill -0 "$pid" 2>/dev/null; do
    if [[ -z $gone && -z $(shown_window) ]]; then
        gone=$(now)
    fi
    if awk -v t="$(now)" -v g="$give_up" 'BEGIN { exit !(t > g) }'; then
        echo "warning: the program did not end within a minute of the answer No"
        stop_program
        exit 0
    fi
done
ended=$(now)
wait "$pid" 2>/dev/null || true
[[ -n $gone ]] || gone=$ended
# A window gone, or a process ended, before xdotool had returned took no time after the answer.
later() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }
gone=$(later "$gone" "$answered")
ended=$(later "$ended" "$answered")
written=$(stat -c '%.9Y' "$settings")
if [[ $written == "$before_answer" ]]; then
    echo "warning: closing after the sort stored no settings"
fi
echo "close_gone $(minus "$gone" "$answered")"
echo "close_end $(minus "$ended" "$answered")"
echo "close_after_settings $(minus "$ended" "$written")"
