#!/usr/bin/env bash
# Seeds each fault of a list into the sources, one at a time: applies it,
# builds, runs the tests and puts the file back. Prints one line per fault:
# id, file, what it breaks, and the tests that failed ("MISSED" when none).
# Usage: scripts/seed-faults.sh [-l LIST] [-o OUT] [ID...] [-- CTEST-ARGS...]
# The build folder is BUILD_DIR (default: build), already configured and built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
list=$root/scripts/seed-faults.list
out=/dev/null
ids=()
while [ $# -gt 0 ]; do
  case $1 in
    -l) list=$2; shift 2 ;;
    -o) out=$2; shift 2 ;;
    --) shift; break ;;
    *) ids+=("$1"); shift ;;
  esac
done

. "$root/scripts/wine-env.sh"
XVFB_PID=
finish() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true
}
trap finish EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb 140 170

# Restores the file and rebuilds, so a fault never outlives its own run.
restore() {
  cp -p "$1.seed-backup" "$1" && rm -f "$1.seed-backup" && touch "$1"
}

while IFS=$'\t' read -r id file expr what; do
  case $id in '' | '#'*) continue ;; esac
  if [ ${#ids[@]} -gt 0 ] && [[ " ${ids[*]} " != *" $id "* ]]; then
    continue
  fi
  src=$root/$file
  cp -p "$src" "$src.seed-backup"
  sed -i -e "$expr" "$src"
  if cmp -s "$src" "$src.seed-backup"; then
    verdict="NOT APPLIED (the line moved)"
  elif ! cmake --build "$build" -j"$(nproc)" >"$build/seed-build.log" 2>&1; then
    verdict="BUILD FAILS"
  else
    (cd "$build" && ctest -j"$(nproc)" "$@" >"$build/seed-ctest.log" 2>&1) || true
    failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([A-Za-z0-9_]*\) (.*/\1/p' "$build/seed-ctest.log" |
      sort -u | paste -sd, -)
    verdict=${failed:-MISSED}
  fi
  restore "$src"
  printf '%s\t%s\t%s\t%s\n' "$id" "$file" "$what" "$verdict" | tee -a "$out"
done <"$list"
cmake --build "$build" -j"$(nproc)" >"$build/seed-build.log" 2>&1
