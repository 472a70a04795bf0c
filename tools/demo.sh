#!/usr/bin/env bash
# The demo command: builds the installer and runs it under Wine in a prefix of its own
# (build/default/wine/demo). Until the wizard exists, the installer runs its start-up checks
# and ends; the demo then shows the install sequence on the progress page (the test host)
# installing the product into that prefix. Without a display it all runs in a virtual one,
# and a screenshot of the progress page is saved to build/default/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build.sh
build=$PWD/build/default
export CV_WINE_ROOT=$build/wine CV_PREFIX=demo

screenshot=0
if [ -n "${DISPLAY:-}" ]; then
  # On a real desktop the window manager decorates the installer's windows.
  tools/wine-run.sh reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
else
  DISPLAY=$(tools/start-display.sh)
  export DISPLAY
  screenshot=1
  trap 'WINEPREFIX=$CV_WINE_ROOT/demo wineserver -w; tools/stop-display.sh "$DISPLAY"' EXIT
fi

echo "demo: start-up of $build/app/InstallVeltrano7.04d.exe"
tools/wine-run.sh "$build/app/InstallVeltrano7.04d.exe" || true
echo "demo: the install sequence on the progress page"
tools/wine-run.sh "$build/tests/bin/install_host.exe" > "$build/demo.log" &
host=$!
if [ "$screenshot" = 1 ]; then
  sleep "${CV_DEMO_SECONDS:-6}"
  import -window root "$build/demo.png" && echo "demo: screenshot saved to $build/demo.png"
fi
wait "$host" && status=installed || status=failed
cat "$build/demo.log"
echo "demo: $status; the machine is in $CV_WINE_ROOT/demo (drive_c, registry)"
