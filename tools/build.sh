#!/usr/bin/env bash
# Installs what is missing, builds the dependencies once, then configures and builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
  tools/setup-machine.sh
elif ! tools/setup-machine.sh 2>/dev/null; then
  sudo tools/setup-machine.sh
fi
export CV_DEPS_PREFIX=${CV_DEPS_PREFIX:-$(tools/build-deps.sh)}
cmake --preset default >/dev/null
cmake --build --preset default "$@"
