#!/usr/bin/env bash
# The demo command: builds the installer and runs it under Wine, in a prefix of its own
# (build/default/wine/demo). Without a display it runs in a virtual one and saves a
# screenshot to build/default/demo.png after a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build.sh
build=$PWD/build/default
export CV_WINE_ROOT=$build/wine CV_PREFIX=demo
installer=$build/app/InstallVeltrano7.04d.exe

if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine-run.sh "$installer"
fi

export DISPLAY=$(tools/start-display.sh)
trap 'tools/stop-display.sh "$DISPLAY"; WINEPREFIX=$CV_WINE_ROOT/demo wineserver -k 2>/dev/null || true' EXIT
tools/wine-run.sh "$installer" &
sleep "${CV_DEMO_SECONDS:-8}"
import -window root "$build/demo.png"
echo "demo: screenshot saved to $build/demo.png"
