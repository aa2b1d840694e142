#!/usr/bin/env bash
# Seeds each fault of a list into the sources, one at a time: applies it,
# builds, runs the tests and puts the file back. Prints one line per fault:
# id, file, what it breaks, and the tests that failed ("MISSED" when none).
# A fault names one file, or several separated by blanks where the line may
# have moved: it goes into the first file the expression changes.
# Usage: scripts/seed-faults.sh [-l LIST] [-o OUT] [ID...] [-- CTEST-ARGS...]
# The build folder is BUILD_DIR (default: build), already configured and built.
# Without CTEST-ARGS a library fault (id L…) runs the library's tests and the
# end-to-end program, any other fault every test but the end-to-end program,
# which takes minutes.
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
test_display "$build" 140 170

# Restores the file and rebuilds, so a fault never outlives its own run.
restore() {
  cp -p "$1.seed-backup" "$1" && rm -f "$1.seed-backup" && touch "$1"
}
# Every file of the list that has a backup gets it back: however this run
# ends (finished, failed, interrupted, ended), and at its start for what a
# run killed outright left, before a new backup could copy its fault.
restore_all() {
  local id file f
  while IFS=$'\t' read -r id file _; do
    case $id in '' | '#'*) continue ;; esac
    for f in $file; do
      if [ -f "$root/$f.seed-backup" ]; then
        echo "seed-faults: $f restored from its backup" >&2
        restore "$root/$f"
      fi
    done
  done <"$list"
}
restore_all
# Before the display's own clean-up, which test_display set for EXIT.
restore_first() {
  eval "set -- $(trap -p EXIT)"
  trap "restore_all; ${3:-}" EXIT
}
restore_first
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

while IFS=$'\t' read -r -u 3 id file expr what; do
  case $id in '' | '#'*) continue ;; esac
  if [ ${#ids[@]} -gt 0 ] && [[ " ${ids[*]} " != *" $id "* ]]; then
    continue
  fi
  src=
  for candidate in $file; do
    cp -p "$root/$candidate" "$root/$candidate.seed-backup"
    sed -i -e "$expr" "$root/$candidate"
    if cmp -s "$root/$candidate" "$root/$candidate.seed-backup"; then
      mv "$root/$candidate.seed-backup" "$root/$candidate"
    else
      src=$root/$candidate file=$candidate
      break
    fi
  done
  if [ -z "$src" ]; then
    printf '%s\t%s\t%s\t%s\n' "$id" "$file" "$what" "NOT APPLIED" | tee -a "$out"
    continue
  fi
  if ! cmake --build "$build" -j"$(nproc)" >"$build/seed-build.log" 2>&1; then
    verdict="BUILD FAILS"
  else
    args=("$@")
    if [ ${#args[@]} -eq 0 ]; then
      case $id in L*) args=(-R 'e2e_test|sevenzip32') ;; *) args=(-E e2e_test) ;; esac
    fi
    (cd "$build" && ctest -j"$(nproc)" "${args[@]}" >"$build/seed-ctest.log" 2>&1) || true
    failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([A-Za-z0-9_]*\) (.*/\1/p' "$build/seed-ctest.log" |
      sort -u | paste -sd, -)
    verdict=${failed:-MISSED}
  fi
  restore "$src"
  printf '%s\t%s\t%s\t%s\n' "$id" "$file" "$what" "$verdict" | tee -a "$out"
done 3<"$list"
cmake --build "$build" -j"$(nproc)" >"$build/seed-build.log" 2>&1
