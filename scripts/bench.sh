#!/usr/bin/env bash
# Benchmark (not a test): compresses and extracts a generated data set of
# about 240 MB through Tessaro.exe with our 7-zip32.dll under Wine, and
# directly with the host's engine (7zz or 7z) given the same switches, then prints the
# times and the ratio Tessaro/engine (goal: 1.05 or less).
#
# Usage: scripts/bench.sh [BUILD_DIR]   (default: build; build it first)
# SIZE_MB=... changes the data set size; KEEP=1 keeps the work folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
size_mb=${SIZE_MB:-240}
bin="$build/bin"
for f in "$bin/Tessaro.exe" "$bin/7-zip32.dll" "$build/wine-run.sh"; do
  [ -e "$f" ] || { echo "missing: $f (build first)" >&2; exit 1; }
done
. "$root/scripts/engine.sh"
host=$(host_engine)

work=$(mktemp -d /tmp/tessaro-bench.XXXXXX)
winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }

echo "generating ${size_mb} MB in $work/data ..."
"$root/scripts/bench-data.sh" "$work/data" "$size_mb"
du -sm "$work/data" | awk '{print "data set: " $1 " MB"}'

stage="$work/stage"
mkdir -p "$stage"
cp "$bin/Tessaro.exe" "$bin/7-zip32.dll" "$stage/"
user=$(id -un)

# Seconds taken by a command.
timed() { local t0 t1; t0=$(now); "$@" >/dev/null 2>&1; t1=$(now); awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", b - a}'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN{print (a == "" || b < a) ? b : a}'; }

# One display and one running wineserver for the whole benchmark, so that
# Tessaro's runs pay for Wine's process start but not for a new X server.
. "$root/scripts/wine-env.sh"
export WINEPREFIX="$build/wineprefix" HOME="$build/home"
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$build/desktop"
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 70 99
  xvfb=$XVFB_PID
fi
# The server stays a minute after its last program, across the engine's runs.
wineserver -p60
cleanup() {
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  [ "${KEEP:-0}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
tessaro() { "$WINE" "$stage/Tessaro.exe" "$@"; }
engine() { LC_ALL=C.UTF-8 "$host" "$@"; }

# One format: Tessaro's settings, and the switches Tessaro and our library
# hand the engine for them. Each side runs REPEAT times, in alternating
# order, and the best time counts, so load from elsewhere weighs less.
run_format() {
  local name=$1 keys=$2 ext=$3; shift 3
  local switches=("$@")
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_DIR=TRUE\r\nCOMP_ENCRYPT=FALSE\r\n%b' \
    "$keys" >"$stage/Tessaro_$user.ini"
  local tc="" te="" dc="" de="" t r
  for r in $(seq 1 "${REPEAT:-2}"); do
    for side in $( [ $(( r % 2 )) = 1 ] && echo "t d" || echo "d t"); do
      rm -rf "$work/data.$ext" "$work/x" "$work/direct.$ext"
      mkdir -p "$work/x"
      if [ "$side" = t ]; then
        t=$(timed tessaro "$(winpath "$work/data")"); tc=$(min "$tc" "$t")
        mv "$work/data.$ext" "$work/x/data.$ext"
        t=$(timed tessaro "$(winpath "$work/x/data.$ext")"); te=$(min "$te" "$t")
        diff -r "$work/data" "$work/x/data/data" >/dev/null || { echo "$name: Tessaro's copy differs" >&2; exit 1; }
        size_t=$(stat -c %s "$work/x/data.$ext")
      else
        t=$(timed engine a -bsp1 -sccUTF-8 -scsUTF-8 "${switches[@]}" -- "$work/direct.$ext" "$work/data")
        dc=$(min "$dc" "$t")
        t=$(timed engine x -bsp1 -sccUTF-8 -scsUTF-8 -o"$work/x" -aos -- "$work/direct.$ext"); de=$(min "$de" "$t")
        diff -r "$work/data" "$work/x/data" >/dev/null || { echo "$name: the engine's copy differs" >&2; exit 1; }
        size_d=$(stat -c %s "$work/direct.$ext")
      fi
    done
  done
  awk -v n="$name" -v tc="$tc" -v te="$te" -v dc="$dc" -v de="$de" -v st="$size_t" -v sd="$size_d" 'BEGIN {
    printf "%-4s compress: Tessaro %7.2f s   engine %7.2f s   ratio %.3f   (archives %d / %d bytes)\n", n, tc, dc, tc / dc, st, sd;
    printf "%-4s extract:  Tessaro %7.2f s   engine %7.2f s   ratio %.3f\n", n, te, de, te / de;
    printf "%-4s total:    Tessaro %7.2f s   engine %7.2f s   ratio %.3f\n", n, tc + te, dc + de, (tc + te) / (dc + de);
  }'
}

"$WINE" cmd /c exit >/dev/null 2>&1 || true
printf 'Wine start of an empty program (part of each Tessaro time): %s s\n' "$(timed "$WINE" cmd /c exit)"
echo "best of ${REPEAT:-2} runs each (Tessaro includes its own start under Wine):"
run_format 7z "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL2\r\n" 7z -t7z -mhe=off -mx=3 -ms=off -m0=LZMA2 -r0
run_format zip "COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\n" zip -tzip -mx=3 -r0
