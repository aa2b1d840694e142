#!/usr/bin/env bash
# Benchmark (not a test): compresses and extracts a generated data set of
# about 240 MB through Tessaro.exe with our 7-zip32.dll under Wine, and
# directly with the host's 7zz given the same switches, then prints the
# times and the ratio Tessaro/7zz (goal: 1.05 or less).
#
# Usage: scripts/bench.sh [BUILD_DIR]   (default: build; build it first)
# SIZE_MB=... changes the data set size; KEEP=1 keeps the work folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
size_mb=${SIZE_MB:-240}
bin="$build/bin"
for f in "$bin/Tessaro.exe" "$bin/7-zip32.dll" "$build/wine-run.sh" /usr/bin/7zz; do
  [ -e "$f" ] || { echo "missing: $f (build first; apt-get install 7zip)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tessaro-bench.XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }

echo "generating ${size_mb} MB in $work/data ..."
mkdir -p "$work/data/text" "$work/data/noise" "$work/data/mixed dir/表ソ"
files=$(( size_mb / 4 ))
for i in $(seq 1 "$files"); do
  case $(( i % 3 )) in
    0) head -c 4000000 /dev/urandom >"$work/data/noise/n$i.bin" ;;
    1) seq -f "line %g of a fairly repetitive text file, number $i" 1 80000 \
         >"$work/data/text/t$i.txt"; truncate -s 4000000 "$work/data/text/t$i.txt" ;;
    2) { head -c 2000000 /dev/urandom; head -c 2000000 /dev/zero; } >"$work/data/mixed dir/表ソ/m$i.dat" ;;
  esac
done
du -sm "$work/data" | awk '{print "data set: " $1 " MB"}'

stage="$work/stage"
mkdir -p "$stage"
cp "$bin/Tessaro.exe" "$bin/7-zip32.dll" "$stage/"
user=$(id -un)

# One format: Tessaro's settings, and the switches Tessaro and our library
# hand the engine for them.
run_format() {
  local name=$1 keys=$2 ext=$3; shift 3
  local switches=("$@")
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_DIR=TRUE\r\nCOMP_ENCRYPT=FALSE\r\n%b' \
    "$keys" >"$stage/Tessaro_$user.ini"
  # Start Wine once so neither side pays for a cold wineserver.
  "$build/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true

  local t0 t1 t2 t3 t4 t5 t6 t7
  t0=$(now)
  "$build/wine-run.sh" "$stage/Tessaro.exe" "$(winpath "$work/data")" >/dev/null 2>&1
  t1=$(now)
  mkdir -p "$work/x-$name"
  mv "$work/data.$ext" "$work/x-$name/data.$ext"
  t2=$(now)
  "$build/wine-run.sh" "$stage/Tessaro.exe" "$(winpath "$work/x-$name/data.$ext")" >/dev/null 2>&1
  t3=$(now)
  [ -d "$work/x-$name/data/data" ] || { echo "Tessaro extraction of $name failed" >&2; exit 1; }
  diff -r "$work/data" "$work/x-$name/data/data" >/dev/null || { echo "$name differs" >&2; exit 1; }

  t4=$(now)
  (cd "$work" && LC_ALL=C.UTF-8 7zz a -bsp1 -sccUTF-8 -scsUTF-8 "${switches[@]}" -- \
      "$work/direct.$ext" "$work/data" >/dev/null 2>&1)
  t5=$(now)
  mkdir -p "$work/d-$name"
  t6=$(now)
  LC_ALL=C.UTF-8 7zz x -bsp1 -sccUTF-8 -scsUTF-8 -o"$work/d-$name" -aos -- "$work/direct.$ext" \
    >/dev/null 2>&1
  t7=$(now)
  local size_t size_d
  size_t=$(stat -c %s "$work/x-$name/data.$ext")
  size_d=$(stat -c %s "$work/direct.$ext")
  awk -v n="$name" -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v e="$t4" -v f="$t5" \
      -v g="$t6" -v h="$t7" -v st="$size_t" -v sd="$size_d" 'BEGIN {
    tc = b - a; te = d - c; dc = f - e; de = h - g;
    printf "%-4s compress: Tessaro %7.2f s   7zz %7.2f s   ratio %.3f   (archives %d / %d bytes)\n", n, tc, dc, tc / dc, st, sd;
    printf "%-4s extract:  Tessaro %7.2f s   7zz %7.2f s   ratio %.3f\n", n, te, de, te / de;
    printf "%-4s total:    Tessaro %7.2f s   7zz %7.2f s   ratio %.3f\n", n, tc + te, dc + de, (tc + te) / (dc + de);
  }'
  rm -rf "$work/x-$name" "$work/d-$name" "$work/direct.$ext"
}

run_format 7z "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL2\r\n" 7z -t7z -mhe=off -mx=3 -ms=off -m0=LZMA2 -r0
run_format zip "COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\n" zip -tzip -mx=3 -r0
