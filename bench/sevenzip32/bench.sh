#!/usr/bin/env bash
# Usage: bench/sevenzip32/bench.sh [BUILD_DIR]
# Prints the library's cost against the bare engine: a ZIP of 20,000 named
# files (goal: at most 1.5 times the bare engine's time), and a 100 MB 7z job with the
# CPU time of the caller and of Wine's server during it. NAMES and SIZE_MB
# change the sizes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
names=${NAMES:-20000}
size_mb=${SIZE_MB:-100}
. "$root/scripts/engine.sh"
engine=$(host_engine)
cmake --build "$build" --target sevenzip32_bench -- --no-print-directory >/dev/null
work=$(mktemp -d /tmp/sevenzip32-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN{printf "%.3f", b - a}'; }
server_cpu() { # user+system seconds of the running wineservers
  local total=0 p
  for p in $(pgrep -x wineserver || true); do
    total=$(awk -v t="$total" '{print t + ($14 + $15) / 100}' "/proc/$p/stat")
  done
  echo "$total"
}

mkdir -p "$work/in"
(cd "$work/in" && seq -f 'f%06g.txt' 1 "$names" | while read -r f; do echo "$f" >"$f"; done)
list=$(cd "$work/in" && ls)
printf 'a -tzip -mx=0 -hide %s %s' "$(winpath "$work/lib.zip")" "$(echo $list)" >"$work/names.cmd"
t0=$(now); (cd "$work/in" && "$engine" a -tzip -mx=0 "$work/bare.zip" $list >/dev/null); bare=$(since "$t0")
# The library runs from the files' folder, as a caller with relative names does.
run() { (cd "$1" && "$build/wine-run.sh" "$build/tests/real/sevenzip32_bench.exe" "$(winpath "$2")"); }
run "$work/in" "$work/names.cmd" >/dev/null 2>&1 || true # a warm Wine server for the figures
rm -f "$work/lib.zip"
t0=$(now); out=$(run "$work/in" "$work/names.cmd"); lib=$(since "$t0")
echo "$names names: library $lib s ($out), bare engine $bare s," \
  "ratio $(awk -v a="$lib" -v b="$bare" 'BEGIN{printf "%.2f", a / b}')"

head -c $((size_mb * 1024 * 1024 / 2)) /dev/urandom >"$work/big.bin"
head -c $((size_mb * 1024 * 1024 / 2)) /dev/zero >>"$work/big.bin"
printf 'a -t7z -mx=1 -hide %s %s' "$(winpath "$work/lib.7z")" "$(winpath "$work/big.bin")" >"$work/big.cmd"
t0=$(now); "$engine" a -t7z -mx=1 "$work/bare.7z" "$work/big.bin" >/dev/null; bare=$(since "$t0")
s0=$(server_cpu); t0=$(now); out=$(run "$work" "$work/big.cmd"); lib=$(since "$t0"); s1=$(server_cpu)
echo "${size_mb} MB 7z: library $lib s ($out), bare engine $bare s," \
  "wineserver CPU $(awk -v a="$s0" -v b="$s1" 'BEGIN{printf "%.3f", b - a}') s"
