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
test_display "$build" 90 120

cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
