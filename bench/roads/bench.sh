#!/usr/bin/env bash
# Benchmark (not a test): the same compression and extraction jobs through
# Tessaro.exe on both of the library's roads under Wine (the host engine, and
# the Windows 7z.exe beside the library), next to each bare engine: the host
# engine (7zz or 7z), and the Windows 7z.exe run by Wine with the same switches.
#
# Usage: bench/roads/bench.sh [BUILD_DIR]   (build first)
# SIZE_MB (default 60) sizes the data set, REPEAT (default 2) takes the best
# of that many runs, KEEP=1 keeps the work folder. Don't run it while tests
# use the same build folder: both use its Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
size_mb=${SIZE_MB:-60}
. "$root/scripts/wine-env.sh"
engine="$build/engine-$TESSARO_ARCH"
"$root/scripts/fetch-engine.sh" "$TESSARO_ARCH" "$engine"
host=$(host_engine)
for f in "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll"; do
  [ -e "$f" ] || { echo "missing: $f (build first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tessaro-roads.XXXXXX)
winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }
timed() { local t0 t1; t0=$(now); "$@" >/dev/null 2>&1; t1=$(now); awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", b - a}'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN{print (a == "" || b < a) ? b : a}'; }

echo "generating ${size_mb} MB in $work/data ..."
"$root/scripts/bench-data.sh" "$work/data" "$size_mb"

stage="$work/stage"
mkdir -p "$stage"
cp "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll" "$engine/7z.exe" "$engine/7z.dll" "$stage/"
export WINEPREFIX="$build/wineprefix" HOME="$build/home"
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$build/desktop"
if [ -z "${DISPLAY:-}" ]; then start_xvfb 70 99; xvfb=$XVFB_PID; fi
wineserver -p60
trap '[ -z "${xvfb:-}" ] || kill "$xvfb"; [ "${KEEP:-0}" = 1 ] || rm -rf "$work"' EXIT

# The four ways to do one job: "a ARCHIVE" or "x ARCHIVE INTO".
via_host() { if [ "$1" = a ]; then LC_ALL=C.UTF-8 "$host" a -bsp1 -sccUTF-8 -scsUTF-8 "${switches[@]}" -- "$2" "$work/data"; else LC_ALL=C.UTF-8 "$host" x -bsp1 -sccUTF-8 -scsUTF-8 -aos -o"$3" -- "$2"; fi; }
via_windows() { if [ "$1" = a ]; then "$WINE" "$stage/7z.exe" a -bsp1 -sccUTF-8 -scsUTF-8 "${switches[@]}" -- "$(winpath "$2")" "$(winpath "$work/data")"; else "$WINE" "$stage/7z.exe" x -bsp1 -sccUTF-8 -scsUTF-8 -aos -o"$(winpath "$3")" -- "$(winpath "$2")"; fi; }
tessaro() { if [ "$1" = a ]; then "$WINE" "$stage/Tessaro.exe" "$(winpath "$work/data")" && mv "$work/data.$ext" "$2"; else mkdir -p "$3" && mv "$2" "$3/" && "$WINE" "$stage/Tessaro.exe" "$(winpath "$3/${2##*/}")"; fi; }
via_wine_road() { SEVENZIP32_ROAD=wine tessaro "$@"; }
via_windows_road() { SEVENZIP32_ROAD=windows tessaro "$@"; }
ways=(host windows wine_road windows_road)

run_format() {
  local name=$1 keys=$2; ext=$3; shift 3
  switches=("$@")
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_DIR=FALSE\r\nCOMP_ENCRYPT=FALSE\r\n%b' \
    "$keys" >"$stage/Tessaro_$(id -un).ini"
  declare -A best
  for r in $(seq 1 "${REPEAT:-2}"); do
    for way in "${ways[@]}"; do
      rm -rf "$work/out" "$work/data.$ext" "$work/arc.$ext"
      best[a$way]=$(min "${best[a$way]:-}" "$(timed "via_$way" a "$work/arc.$ext")")
      best[s$way]=$(stat -c %s "$work/arc.$ext" 2>/dev/null || echo 0)
      best[x$way]=$(min "${best[x$way]:-}" "$(timed "via_$way" x "$work/arc.$ext" "$work/out")")
      diff -r "$work/data" "$work/out/data" >/dev/null || { echo "$name $way: the copy differs" >&2; exit 1; }
    done
  done
  for op in a x; do
    printf '%-4s %-8s' "$name" "$([ $op = a ] && echo compress || echo extract)"
    for way in "${ways[@]}"; do printf ' %14.2f' "${best[$op$way]}"; done
    printf '   %s\n' "$([ $op = a ] && for way in "${ways[@]}"; do printf '%s ' "${best[s$way]}"; done)"
  done
}

"$WINE" cmd /c exit >/dev/null 2>&1 || true
echo "Wine start of an empty program: $(timed "$WINE" cmd /c exit) s; best of ${REPEAT:-2}, seconds:"
printf '%-13s %14s %14s %14s %14s   %s\n' "" "host engine" "7z.exe (Wine)" "Tessaro/Wine" "Tessaro/Win" "archive bytes"
run_format 7z "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL2\r\n" 7z -t7z -mhe=off -mx=3 -ms=off -m0=LZMA2 -r0
run_format zip "COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\n" zip -tzip -mx=3 -r0
