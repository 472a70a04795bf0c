#!/usr/bin/env bash
# Starts a virtual X display in the background and prints its name (":N").
set -euo pipefail
for n in $(seq 90 140); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X$n ] && { echo ":$n"; exit 0; }
    sleep 0.1
  done
done
echo "start-display: no free display" >&2
exit 1
