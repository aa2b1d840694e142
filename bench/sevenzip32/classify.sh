#!/usr/bin/env bash
# Usage: bench/sevenzip32/classify.sh [BUILD_DIR]
# Prints how long 7-zip32.dll takes to classify 202 files (200 text files, a
# ZIP, a 7z) called directly (goal: 1 ms or less per file), then a ZIP job
# over 200 small files through Tessaro.exe against the bare engine and Wine's
# start of a do-nothing program (goal: Tessaro at most engine + start + 0.1 s).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
cmake --build "$build" --target Tessaro sevenzip32 classify_bench noop_bench -- --no-print-directory >/dev/null
work=$(mktemp -d /tmp/sz32-classify.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }
timed() { local t0 t1; t0=$(now); "$@" >/dev/null 2>&1; t1=$(now); awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", b - a}'; }

mkdir -p "$work/files" "$work/stage"
for i in $(seq 1 200); do
  seq -f "line %g of small text file $i" 1 $(( i % 40 + 1 )) >"$work/files/t$i.txt"
done
. "$root/scripts/wine-env.sh"
engine=$(host_engine)
"$engine" a -tzip "$work/files/a.zip" "$work/files/t1.txt" >/dev/null
"$engine" a -t7z "$work/files/a.7z" "$work/files/t2.txt" >/dev/null
export WINEPREFIX="$build/wineprefix" HOME="$build/home"
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$build/desktop"
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 70 99
  trap 'kill $XVFB_PID 2>/dev/null || true; rm -rf "$work"' EXIT
fi
wineserver -p60 </dev/null >/dev/null 2>&1 || true
"$WINE" "$build/tests/fake/classify_bench.exe" "$(winpath "$build/bin/7-zip32.dll")" "$(winpath "$work/files")"

cp "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll" "$work/stage/"
printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nCOMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\nCOMP_ENCRYPT=FALSE\r\n' \
  >"$work/stage/Tessaro_$(id -un).ini"
inputs=()
for i in $(seq 1 200); do inputs+=("$(winpath "$work/files/t$i.txt")"); done
"$WINE" "$build/tests/fake/noop_bench.exe" >/dev/null 2>&1 || true
best() { local b="" t; for _ in 1 2 3; do t=$("$@"); b=$(awk -v a="$b" -v t="$t" 'BEGIN{print (a == "" || t < a) ? t : a}'); done; echo "$b"; }
tessaro_job() { find "$work/files" -name "*.zip" ! -name a.zip -delete; timed "$WINE" "$work/stage/Tessaro.exe" "${inputs[@]}"; }
engine_job() { rm -f "$work/direct.zip"; timed "$engine" a -tzip -mx=3 "$work/direct.zip" "$work"/files/t*.txt; }
noop() { timed "$WINE" "$build/tests/fake/noop_bench.exe"; }
t=$(best tessaro_job); e=$(best engine_job); s=$(best noop)
awk -v t="$t" -v e="$e" -v s="$s" 'BEGIN {
  printf "200 small files to ZIP: Tessaro %.3f s, engine %.3f s, Wine start %.3f s\n", t, e, s;
  printf "Tessaro over engine + start: %+.3f s (goal: +0.100 s or less)\n", t - e - s;
}'
