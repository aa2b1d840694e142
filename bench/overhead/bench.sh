#!/usr/bin/env bash
# Benchmark (figures, never a test): what a job through Tessaro.exe and its
# 7-zip32.dll costs beyond the engine's own work and Wine's start of a program.
#
# Usage: bench/overhead/bench.sh [BUILD_DIR]   (RUNS, default 5; SIZE_MB, default 100;
#        WORK, the folder to work in: default /dev/shm, memory, where the disk's
#        write-back cannot swamp the few milliseconds measured; else /tmp)
#
# Rows (the goals of the job-cost work):
#   a  100 MB 7z compression: Tessaro.exe against the bare host engine with the
#      same switches plus Wine's start of a do-nothing program (goal +50 ms)
#   b  100 MB extraction, ZIP and 7z, the same measure (goal +50 ms)
#   c  200 small files to ZIP, the same measure (goal +50 ms)
#   d  Windows road classification of 202 files called directly (goal 1 ms a file)
#   e  Windows road extraction against the Windows 7z.exe alone (goal 1.2 x)
# Each run does every pair once (which side first alternates from run to run,
# each side after a sync); the medians of RUNS runs count.
# Each Tessaro run is traced (SEVENZIP32_TRACE): the breakdown gives, from
# the moment Wine was started, when the library's first call and the job's
# call began and ended, and each phase of the job's call in ms since it began.
# A second figure leaves out the engine's own variance: Tessaro's time less
# its engine run as traced (from its start to its end seen by the library)
# less Wine's start.
# The Wine server is kept warm (wineserver -p) so that no run pays its start.
# Don't run it while tests use the same build folder: both use its Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-${BUILD_DIR:-$root/build}}" && pwd)
runs=${RUNS:-5}
size_mb=${SIZE_MB:-100}
. "$root/scripts/wine-env.sh"
host=$(host_engine)
cmake --build "$build" --target Tessaro sevenzip32 classify_bench noop_bench \
  -- --no-print-directory >/dev/null
engine_dir="$build/engine-$TESSARO_ARCH"
"$root/scripts/fetch-engine.sh" "$TESSARO_ARCH" "$engine_dir"

base=${WORK:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=/tmp
work=$(mktemp -d "$base/tessaro-overhead.XXXXXX")
export WINEPREFIX="$build/wineprefix" HOME="$build/home"
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$build/desktop"
xvfb=
if [ -z "${DISPLAY:-}" ]; then start_xvfb 70 99; xvfb=$XVFB_PID; fi
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; [ "${KEEP:-0}" = 1 ] || rm -rf "$work"' EXIT
wineserver -p60 </dev/null >/dev/null 2>&1 || true

winpath() { printf 'Z:%s' "${1//\//\\}"; }
now_ms() { date +%s%3N; }
median() { sort -n | awk '{v[NR] = $1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

echo "data: ${size_mb} MB in $work/data, 200 small files in $work/small ..."
"$root/scripts/bench-data.sh" "$work/data" "$size_mb"
mkdir -p "$work/small" "$work/types" "$work/stage" "$work/x"
for i in $(seq 1 200); do
  seq -f "line %g of small text file $i" 1 $((i % 40 + 1)) >"$work/small/t$i.txt"
done
cp "$work"/small/t*.txt "$work/types/"
"$host" a -tzip "$work/types/a.zip" "$work/small/t1.txt" >/dev/null
"$host" a -t7z "$work/types/a.7z" "$work/small/t2.txt" >/dev/null
# The archives to extract, made once by the host engine as Tessaro would.
(cd "$work" && "$host" a -t7z -mhe=off -mx=1 -ms=off -m0=LZMA2 -r0 arc7z.7z data >/dev/null &&
  "$host" a -tzip -mx=3 -r0 arczip.zip data >/dev/null)
cp "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll" "$engine_dir/7z.exe" "$engine_dir/7z.dll" \
  "$work/stage/"
settings() {
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_DIR=TRUE\r\nCOMP_ENCRYPT=FALSE\r\nCOMP_FORMAT=%s\r\nCOMP_LEVEL=%s\r\n' \
    "$1" "$2" >"$work/stage/Tessaro_$(id -un).ini"
}
small_inputs=()
for i in $(seq 1 200); do small_inputs+=("$(winpath "$work/small/t$i.txt")"); done
fixed=(-bsp1 -sccUTF-8 -scsUTF-8 -spd)

# Each timed command prints its wall time in ms; its output goes to $work/log.
timed() {
  local t0 t1
  t0=$(now_ms)
  "$@" >>"$work/log" 2>&1 || echo "failed ($?): $*" >>"$work/log"
  t1=$(now_ms)
  echo $((t1 - t0))
}
# tessaro ROW ROAD ARGS...: one traced Tessaro.exe run; its trace keeps the
# launch time, the run's own time goes to $work/times/ROW.tessaro.
tessaro() {
  local row=$1 road=$2 trace="$work/trace/$1.$(date +%s%N)" t0 t1
  shift 2
  t0=$(now_ms)
  SEVENZIP32_ROAD=$road SEVENZIP32_TRACE=$trace "$WINE" "$work/stage/Tessaro.exe" "$@" \
    >>"$work/log" 2>&1 || echo "Tessaro failed ($?)" >>"$work/log"
  t1=$(now_ms)
  echo "launch $t0 exit $t1" >>"$trace"
  echo $((t1 - t0)) >>"$work/times/$row.tessaro"
}
record() { echo "$2" >>"$work/times/$1"; }
noop() { timed "$WINE" "$build/tests/fake/noop_bench.exe"; }
mkdir -p "$work/trace" "$work/times"

# pair FIRST SECOND: both sides of a row, in turn first (odd runs) and second,
# each after the disk has written out what the one before left it.
pair() {
  if ((r % 2)); then sync; "$1"; sync; "$2"; else sync; "$2"; sync; "$1"; fi
}

compress_7z() {
  settings 7Z LEVEL1
  rm -f "$work/data.7z" "$work/bare.7z"
  pair compress_7z_tessaro compress_7z_bare
  [ -s "$work/data.7z" ] || { echo "no archive from Tessaro.exe (row a); see $work/log" >&2; exit 1; }
  record a.noop "$(noop)"
}
compress_7z_tessaro() { tessaro a wine "$(winpath "$work/data")"; }
compress_7z_bare() {
  record a.bare "$(cd "$work" && timed "$host" a "${fixed[@]}" -t7z -mhe=off -mx=1 -ms=off -m0=LZMA2 -r0 bare.7z data)"
}
# extract ROW ROAD ARCHIVE: Tessaro.exe against the bare engine of the road.
extract() {
  row=$1 road=$2 archive=$3 name=${3%.*}
  rm -rf "${work:?}/x/$name" "$work/x/bare"
  cp "$work/$archive" "$work/x/$archive"
  pair extract_tessaro extract_bare
  diff -rq "$work/data" "$work/x/$name/data" >/dev/null ||
    { echo "Tessaro.exe's copy differs (row $row); see $work/log" >&2; exit 1; }
  record "$row.noop" "$(noop)"
}
extract_tessaro() { tessaro "$row" "$road" "$(winpath "$work/x/$archive")"; }
extract_bare() {
  if [ "$road" = wine ]; then
    record "$row.bare" "$(timed "$host" x "${fixed[@]}" -o"$work/x/bare" "$work/x/$archive")"
  else
    record "$row.bare" "$(timed "$WINE" "$work/stage/7z.exe" x "${fixed[@]}" \
      -o"$(winpath "$work/x/bare")" "$(winpath "$work/x/$archive")")"
  fi
}
small_zip() {
  settings ZIP LEVEL2
  rm -f "$work/small/t1.zip" "$work/bare.zip"
  pair small_zip_tessaro small_zip_bare
  [ -s "$work/small/t1.zip" ] || { echo "no archive from Tessaro.exe (row c); see $work/log" >&2; exit 1; }
  record c.noop "$(noop)"
}
small_zip_tessaro() { tessaro c wine "${small_inputs[@]}"; }
small_zip_bare() {
  record c.bare "$(cd "$work/small" && timed "$host" a "${fixed[@]}" -tzip -mx=3 -r0 ../bare.zip t*.txt)"
}
# classify ROW ROAD: the 202 files through SevenZipGetArchiveType; the
# engine runs it caused are counted from the trace.
classify() {
  local row=$1 road=$2 out trace="$work/trace/$1.$(date +%s%N)"
  out=$(SEVENZIP32_ROAD=$road SEVENZIP32_TRACE=$trace "$WINE" "$build/tests/fake/classify_bench.exe" \
    "$(winpath "$work/stage/7-zip32.dll")" "$(winpath "$work/types")" 2>>"$work/log")
  echo "$out" | sed -n 's/.*, \([0-9.]*\) ms per file/\1/p' >>"$work/times/$row"
  echo "$out" | head -1 >"$work/times/$row.answer"
  grep -c ' engine started' "$trace" >>"$work/times/$row.runs" || true
}

"$WINE" "$build/tests/fake/noop_bench.exe" >/dev/null 2>&1 || true
for r in $(seq 1 "$runs"); do
  echo "run $r of $runs ..."
  compress_7z
  extract b7z wine arc7z.7z
  extract bzip wine arczip.zip
  small_zip
  classify d windows
  classify dwine wine
  extract e7z windows arc7z.7z
  extract ezip windows arczip.zip
done

# The phases of the job's call: per traced run, each line as "key<TAB>ms", the
# key numbered when a phase repeats; then the median of each key in order.
phases() {
  for f in "$work/trace/$1".*; do
    awk '
      /^launch / { launch = $2; exit_ = $4; next }
      $2 == "call" { call = $3; split($4, e, "="); split($5, a, "=")
                     if (first == "") { first = e[2]; age = a[2] }
                     if (call == "SevenZip") { job = e[2]; injob = 1 } else injob = 0; next }
      $2 == "end" && injob { split($4, e, "="); jobend = e[2]; injob = 0; next }
      injob { key = $2; for (i = 3; i <= NF; i++) key = key " " $i
              n[key]++; if (n[key] > 1) key = key " #" n[key]
              printf "%s\t%s\n", key, $1 }
      END { printf "from the start of Wine: library'"'"'s first call\t%.1f\n", first - launch
            printf "  (the process'"'"'s age then, as Windows counts it)\t%.1f\n", age
            printf "from the start of Wine: the job'"'"'s call\t%.1f\n", job - launch
            printf "from the start of Wine: the job'"'"'s call ended\t%.1f\n", jobend - launch
            printf "from the start of Wine: Tessaro.exe ended\t%.1f\n", exit_ - launch }' "$f"
  done | awk -F'\t' '{ if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } v[$1] = v[$1] " " $2 }
    END { for (i = 1; i <= n; i++) print order[i] "\t" v[order[i]] }' |
    while IFS=$'\t' read -r key values; do
      printf '      %-52s %8s\n' "$key" "$(tr ' ' '\n' <<<"$values" | grep . | median)"
    done
}
m() { median <"$work/times/$1"; }
# The job's engine run (a or x) of each traced job (ms from its start to its
# end), in run order.
engine_runs() {
  for f in $(ls "$work/trace/$1".* | sort); do
    awk '$3 == "SevenZip" { job = 1 }
         job && $2 == "engine" && $3 == "started" && ($4 == "a" || $4 == "x") && !s { s = $1; v = $4 }
         job && $2 == "engine" && $3 == "ended" && $4 == v && !e { e = $1 }
         END { print e - s }' "$f"
  done
}
row() { # row KEY TITLE: Tessaro against the bare engine and Wine's start
  local t b s
  t=$(m "$1.tessaro") b=$(m "$1.bare") s=$(m "$1.noop")
  printf '%s\n' "$2"
  paste -d' ' "$work/times/$1.tessaro" "$work/times/$1.bare" "$work/times/$1.noop" |
    awk '{print $1 - $2 - $3}' | median | awk -v t="$t" -v b="$b" -v s="$s" \
    '{printf "    Tessaro.exe %s ms, bare engine %s ms, Wine start %s ms: Tessaro over both %+.0f ms (goal +50 ms or less)\n", t, b, s, $1}'
  paste -d' ' "$work/times/$1.tessaro" <(engine_runs "$1") "$work/times/$1.noop" |
    awk '{print $1 - $2 - $3}' | median |
    awk '{printf "    Tessaro.exe less its engine run (as traced) and Wine start: %+.0f ms\n", $1}'
  echo "    breakdown (median ms):"
  phases "$1"
}
ratio() { # ratio KEY TITLE: Tessaro on the Windows road against 7z.exe alone
  printf '%s\n' "$2"
  paste -d' ' "$work/times/$1.tessaro" "$work/times/$1.bare" | awk '{print $1 / $2}' | median |
    awk -v t="$(m "$1.tessaro")" -v b="$(m "$1.bare")" \
    '{printf "    Tessaro.exe %s ms, 7z.exe alone %s ms: %.2f x (goal 1.2 x or less)\n", t, b, $1}'
  paste -d' ' "$work/times/$1.tessaro" <(engine_runs "$1") "$work/times/$1.bare" |
    awk '{print ($1 - $2) / $3}' | median |
    awk '{printf "    Tessaro.exe less its 7z.exe run (as traced), over 7z.exe alone: +%.2f x\n", $1}'
  echo "    breakdown (median ms):"
  phases "$1"
}

echo
echo "median of $runs runs; $(uname -m), $TESSARO_ARCH Wine, load $(cut -d' ' -f1-3 /proc/loadavg)"
row a "a) ${size_mb} MB 7z compression (-mx=1)"
row b7z "b) ${size_mb} MB 7z extraction, a folder per archive"
row bzip "b) ${size_mb} MB ZIP extraction, a folder per archive"
row c "c) 200 small files to ZIP"
echo "d) classification of 202 files called directly ($(cat "$work/times/d.answer"))"
printf '    Windows road %s ms per file (goal 1 ms or less), %s engine runs; Wine road %s ms per file, %s engine runs\n' \
  "$(m d)" "$(m d.runs)" "$(m dwine)" "$(m dwine.runs)"
ratio e7z "e) Windows road ${size_mb} MB 7z extraction"
ratio ezip "e) Windows road ${size_mb} MB ZIP extraction"
