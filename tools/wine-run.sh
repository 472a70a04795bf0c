#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, never the user's.
#   CV_WINE_ROOT         folder of the prefixes (default: <build>/wine, set by CMake)
#   CV_FRESH_PREFIX=1    run in a fresh copy of the booted prefix, removed afterwards
#   CV_PREFIX=name       run in a lasting prefix of that name, copied from the booted one once
# Without a display, a virtual one is started for the run.
set -euo pipefail

root=${CV_WINE_ROOT:?CV_WINE_ROOT names the folder of the test prefixes}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
template=$root/prefix

boot_template() {
  mkdir -p "$root"
  exec 9>"$root/.boot.lock"
  flock 9
  if [ ! -f "$template/.booted" ]; then
    rm -rf "$template"
    WINEPREFIX=$template wineboot -i >/dev/null 2>&1
    # Without a window manager, managed windows cost seconds each to close.
    WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$template wineserver -w
    touch "$template/.booted"
  fi
  flock -u 9
}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

boot_template
if [ "${CV_FRESH_PREFIX:-0}" = 1 ]; then
  prefix=$(mktemp -d "$root/fresh.XXXXXX")
  cleanup() { WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$prefix"; }
  trap cleanup EXIT
  cp -a "$template/." "$prefix/"
  export WINEPREFIX=$prefix
  wine "$@"
elif [ -n "${CV_PREFIX:-}" ]; then
  export WINEPREFIX=$root/$CV_PREFIX
  [ -d "$WINEPREFIX" ] || cp -a "$template" "$WINEPREFIX"
  exec wine "$@"
else
  export WINEPREFIX=$template
  exec wine "$@"
fi
