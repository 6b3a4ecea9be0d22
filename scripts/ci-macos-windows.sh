#!/usr/bin/env bash
# Builds Trovix, runs its tests and installs it on macOS or Windows, as the hosted CI does
# (.github/workflows/macos-windows.yml runs it on both). Needs CMake, a C++20 compiler and Qt 6
# where CMake finds it (CMAKE_PREFIX_PATH or Qt6_DIR); on Windows, Git Bash runs it.
#   scripts/ci-macos-windows.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-ci}

case "$(uname -s)" in
    Darwin) system=macOS ;;
    MINGW* | MSYS* | CYGWIN*) system=Windows ;;
    *)
        echo "ci-macos-windows.sh: for macOS and Windows; on Linux run ./dev test" >&2
        exit 2
        ;;
esac
echo "Building on $system with $(cmake --version | head -n 1)"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTROVIX_WERROR=ON
cmake --build "$build" --config Release --parallel
# Left out: what only Linux has, the freedesktop files the install test checks and the X server.
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -C Release --output-on-failure \
    -E '^(install|test_main_window_x11)$'
# The program and its samples install where the platform layout says.
cmake --install "$build" --config Release --prefix "$build/install-check"
if [ "$system" = macOS ]; then
    test -x "$build/install-check/trovix7.app/Contents/MacOS/trovix7"
    test -f "$build/install-check/trovix7.app/Contents/MacOS/trovix7_window.so"
else
    test -f "$build/install-check/bin/trovix7.exe"
    test -f "$build/install-check/bin/trovix7_window.dll"
fi
test -f "$build/install-check/share/trovix/phone_numbers.txt"
echo "ci-macos-windows.sh: $system build, tests and install passed"
