#!/usr/bin/env bash
# Prints the job benchmark's figures. BUILD_DIR: the build folder (default build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build" --target jobs_bench -- --no-print-directory >/dev/null
"$build/wine-run.sh" "$build/tests/fake/jobs_bench.exe"
