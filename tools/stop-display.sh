#!/usr/bin/env bash
# Stops a virtual display started by start-display.sh.
n=${1#:}
[ -f /tmp/.X$n-lock ] && kill "$(tr -d ' ' < /tmp/.X$n-lock)" 2>/dev/null
exit 0
