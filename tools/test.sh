#!/usr/bin/env bash
# The test command: builds everything, then runs every test under Wine in a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build.sh
build=build/default
export CV_WINE_ROOT=$PWD/$build/wine

# One virtual display and one warm Wine server for the whole run.
display=$(tools/start-display.sh)
export DISPLAY=$display
trap 'tools/stop-display.sh "$DISPLAY"; WINEPREFIX=$CV_WINE_ROOT/prefix wineserver -k 2>/dev/null || true' EXIT
tools/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true
WINEPREFIX=$CV_WINE_ROOT/prefix WINEARCH=win32 wineserver -p || true

ctest --preset default -j "$(nproc)" "$@"
