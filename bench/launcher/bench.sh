#!/usr/bin/env bash
# Usage: bench/launcher/bench.sh [LAUNCHER] [RUNS]
# Prints how long the launcher (default ./tessaro.sh) takes on top of Wine
# for a command-line job when the build is current and the packages are
# there: Wine itself is replaced by a do-nothing stand-in, so the figure is
# the launcher's own share. RUNS starts each (default 20); the median counts.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$(realpath "${1:-$root/tessaro.sh}")
runs=${2:-20}
work=$(mktemp -d /tmp/tessaro-launcher-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Stand-ins for Wine's programs: wineboot lays out just what the prefix
# script touches, so the real script makes the bench's prefix.
mkdir -p "$work/bin"
printf '#!/bin/sh\n[ "$1" != wineboot ] || exec wineboot\nexit 0\n' >"$work/bin/wine"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
printf '#!/bin/sh\nmkdir -p "$WINEPREFIX/drive_c/windows/Fonts" "$WINEPREFIX/drive_c/users/bench"\n' \
  >"$work/bin/wineboot"
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" TESSARO_WINE="$work/bin/wine" TESSARO_WINEPREFIX="$work/prefix" HOME="$work/home"
echo data >"$work/file.txt"

# Milliseconds of each of RUNS runs of a command, then their median.
median_ms() {
  local t0 t1
  for _ in $(seq "$runs"); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    echo $(( (t1 - t0) / 1000 ))
  done | sort -n | awk '{ a[NR] = $1 } END { printf "%.1f", a[int((NR + 1) / 2)] / 1000 }'
}

# Processor time (user + system, children included) per run, in ms: on a
# busy machine it shows the cost that the wall time blurs.
cpu_ms() {
  local t
  t=$( { TIMEFORMAT='%3U %3S'; time (for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done); } 2>&1)
  awk -v t="$t" -v n="$runs" 'BEGIN { split(t, a, " "); printf "%.1f", (a[1] + a[2]) * 1000 / n }'
}

# A job started from the desktop (a display is named, but the launcher itself
# never opens it) and one from a terminal without a display, which also
# looks for what the run left behind.
echo "launcher: $launcher ($(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
for road in desktop terminal; do
  if [ $road = desktop ]; then export DISPLAY=:bench; else unset DISPLAY; fi
  "$launcher" "$work/file.txt" >/dev/null 2>&1 # builds if needed, makes the prefix
  wine_ms=$(median_ms wine "$work/file.txt")
  launcher_ms=$(median_ms "$launcher" "$work/file.txt")
  wine_cpu=$(cpu_ms wine "$work/file.txt")
  launcher_cpu=$(cpu_ms "$launcher" "$work/file.txt")
  awk -v r=$road -v n="$runs" -v a="$launcher_ms" -v b="$wine_ms" -v c="$launcher_cpu" -v d="$wine_cpu" 'BEGIN {
    printf "%-8s stand-in wine %6.1f ms, with the launcher %7.1f ms (median of %d wall)\n", r, b, a, n;
    printf "%-8s added by the launcher: %.1f ms wall, %.1f ms processor (goal: 50 ms or less)\n", r, a - b, c - d }'
done
