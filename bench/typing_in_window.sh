#!/bin/bash
# Types a search into the real window key by key and times each key to the rows it lists, as a
# user would see them: the program on an X server (Xvfb) with a window manager (openbox), keys
# sent through the server with xdotool, the status bar read over AT-SPI. The data file is the
# benchmark's generated one, in the first slot; each run starts the program afresh.
#   bench/typing_in_window.sh [path/to/trovix7]
# Environment: RECORDS (default 1000000), TYPED (default "thomas no 55"), RUNS (default 3).
# Needs xvfb, openbox, xdotool, dbus, at-spi2-core and python3-pyatspi.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TROVIX_IN_SESSION:-}" ]; then
    exec dbus-run-session -- env TROVIX_IN_SESSION=1 "$0" "$@"
fi
export LC_ALL=C.UTF-8

program=$(realpath "${1:-build/src/trovix7}")
records=${RECORDS:-1000000}
typed=${TYPED:-thomas no 55}
runs=${RUNS:-3}
build=${BUILD_DIR:-build-bench}
work=$(mktemp -d)
mkdir -p "$work/program" "$work/home"
cp "$program" "$(dirname "$program")/trovix7_window.so" "$work/program/"
source scripts/virtual_desktop.sh
started=()
finish() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_virtual_desktop
    rm -rf "$work"
}
trap finish EXIT

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target trovix_bench -j"$(nproc)" >/dev/null
# The benchmark writes the data file and types the same text in process, for comparison.
"$build/bench/trovix_bench" --typing-only --records "$records" --typed "$typed" \
    --file "$work/program/phone_numbers.txt" | grep '^typing_ci' | sed 's/^/in process: /'
printf 'A tagline\r\n' >"$work/program/taglines.txt"
printf '212  New York\r\n' >"$work/program/area_codes.txt"

start_virtual_desktop 1280x1024 openbox atspi

log=$work/keys.log
for ((run = 1; run <= runs; ++run)); do
    rm -rf "$work/home"
    mkdir -p "$work/home"
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
        QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$work/program/trovix7" >"$work/program.log" 2>&1 &
    pid=$!
    xdotool search --sync --name '^Trovix$' >/dev/null
    sleep 2
    echo "run $run" | tee -a "$log"
    /usr/bin/python3 bench/typing_in_window.py "$work/program/phone_numbers.txt" "$typed" |
        tee -a "$log"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done

# The first key of each run, and the keys after it over all runs (nearest rank).
awk '
    /^run / { first = 1 }
    /^key / { if (first) { firsts = firsts sprintf(" %.1f", $2 * 1000); first = 0 }
              else { later[++n] = $2 * 1000 } }
    /^xdotool_start / { start += $2 * 1000; starts++ }
    END {
        for (i = 2; i <= n; ++i) { v = later[i]; for (j = i - 1; j > 0 && later[j] > v; --j) later[j + 1] = later[j]; later[j + 1] = v }
        p50 = later[int(n * 0.5 + 0.999)]; p95 = later[int(n * 0.95 + 0.999)]
        printf "window: first key ms:%s; later keys (%d): p50 %.1f ms, p95 %.1f ms;" \
               " starting xdotool alone %.1f ms\n", firsts, n, p50, p95, start / starts
    }' "$log"
