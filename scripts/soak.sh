#!/usr/bin/env bash
# The slow probes of losing nothing, run now and then rather than by every test run: saves killed
# again and again (written beside the file and in place), saves raced by another program's
# rename-over, and a program that keeps unsaved edits killed and ended while it types.
#   scripts/soak.sh [rounds]    (default 30; each probe runs that many times)
# Builds into build/ first. Exits non-zero when a file was torn, a write lost or an edit not
# offered back.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-30}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target save_kill_test test_unsaved_edits recovery_kill_child -j "$(nproc)" >/dev/null

kill_test=build/bench/save_kill_test
"$kill_test" --normal --megabytes 90 --kills "$rounds"
"$kill_test" --in-place --megabytes 90 --kills "$rounds"
"$kill_test" --normal --megabytes 90 --races "$rounds"
"$kill_test" --in-place --megabytes 20 --races "$rounds"

export XDG_STATE_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_STATE_HOME"' EXIT
for ((i = 1; i <= rounds; i += 4)); do
    QT_QPA_PLATFORM=offscreen build/tests/app/test_unsaved_edits \
        everyEditComesBackAfterARealKillOrTermination -silent
done
echo "soak: every probe held ($rounds rounds)"
