#!/usr/bin/env bash
# Configures (once) and builds Tessaro, its library and its tests.
# BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
. "$root/scripts/wine-env.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$TESSARO_MINGW.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
fi
cmake --build "$build" -j"$(nproc)" -- --no-print-directory
