#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
./scripts/bootstrap.sh
./scripts/build.sh
build=${BUILD_DIR:-$root/build}

# One virtual display for every test that makes a window.
. "$root/scripts/wine-env.sh"
XVFB_PID=
cleanup() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 90 120
fi

cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
