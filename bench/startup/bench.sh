#!/usr/bin/env bash
# Usage: bench/startup/bench.sh [BUILD_DIR] [RUNS]
# Prints the size and the imported DLLs of Tessaro.exe, then how long each
# start-up road takes under Wine (RUNS starts each, default 10).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
runs=${2:-10}
. "$root/scripts/wine-env.sh"
cmake --build "$build" --target Tessaro startup_bench -- --no-print-directory >/dev/null
exe="$build/bin/Tessaro.exe"
bytes=$(stat -c %s "$exe")
echo "Tessaro.exe: $bytes bytes ($(( (bytes + 1023) / 1024 )) KiB)"
echo "imports: $("$TESSARO_MINGW-objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | sort -f | tr '\n' ' ')"
"$build/wine-run.sh" "$build/tests/fake/startup_bench.exe" "$runs"
