# Sourced by the benchmark scripts: a display (a virtual one when there is none, stopped at the
# end), the Wine root of the build folder $build, and windows PATH for a Wine path of a file.
started_display=
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(tools/start-display.sh)
  started_display=$DISPLAY
fi
export DISPLAY CV_WINE_ROOT=$PWD/$build/wine
trap '[ -z "$started_display" ] || tools/stop-display.sh "$started_display"' EXIT

windows() { echo "Z:$(realpath "$1")" | tr / '\\'; }
