#!/usr/bin/env bash
# Usage: scripts/bench-data.sh DIR SIZE_MB
# Writes the benchmarks' data set into DIR: 4 MB files in thirds of noise,
# repetitive text, and half-noise files under a Japanese folder name.
set -euo pipefail
dir=$1 size_mb=$2
mkdir -p "$dir/text" "$dir/noise" "$dir/mixed dir/表ソ"
for i in $(seq 1 $(( size_mb / 4 ))); do
  case $(( i % 3 )) in
    0) head -c 4000000 /dev/urandom >"$dir/noise/n$i.bin" ;;
    1) seq -f "line %g of a fairly repetitive text file, number $i" 1 80000 \
         >"$dir/text/t$i.txt"; truncate -s 4000000 "$dir/text/t$i.txt" ;;
    2) { head -c 2000000 /dev/urandom; head -c 2000000 /dev/zero; } >"$dir/mixed dir/表ソ/m$i.dat" ;;
  esac
done
