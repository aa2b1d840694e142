#!/usr/bin/env bash
# Usage: bench/jobs/bench.sh [BUILD_DIR]
# Prints how long building a compression command and splitting a path take.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
cmake --build "$build" --target jobs_bench -- --no-print-directory >/dev/null
"$build/wine-run.sh" "$build/tests/fake/jobs_bench.exe"
