#!/usr/bin/env bash
# Checks the include graph of the sources: no header or source includes a
# folder above its own (the layers below, lowest first), and no files or
# folders include each other in a circle. Prints each offence; exit 1 if any.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(paths settings archiver jobs res app
  sevenzip32/base sevenzip32/engine sevenzip32/host sevenzip32/archive sevenzip32/dialogs
  sevenzip32/place sevenzip32/call)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
# The library never uses the program's own folders, nor they the library's.
part() { case $1 in sevenzip32/*) echo lib ;; *) echo app ;; esac; }
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for f in $(git ls-files '*.cpp' '*.h' | grep -Ev '^(tests|bench|build)/'); do
  from=${f%/*}
  unit=${f%.*}
  for inc in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$f"); do
    to=${inc%/*}
    [ "$to" = "$inc" ] && continue
    [ "${inc%.*}" = "$unit" ] || echo "$unit ${inc%.*}" >>"$edges"
    rf=$(rank "$from") rt=$(rank "$to")
    if [ "$rf" -ge 0 ] && [ "$rt" -ge 0 ] && [ "$rt" -gt "$rf" ] && [ "$(part "$from")" = "$(part "$to")" ]; then
      echo "upward: $f includes $inc"; status=1
    fi
    if [ "$rf" -ge 0 ] && [ "$rt" -ge 0 ] && [ "$(part "$from")" != "$(part "$to")" ] && [ "$inc" != sevenzip32/api.h ]; then
      echo "across: $f includes $inc"; status=1
    fi
  done
done
# Circles between units (a source and its header are one unit).
circles=$(sort -u "$edges" | tsort 2>&1 >/dev/null | grep -v '^tsort: .*: input contains a loop:$' || true)
if [ -n "$circles" ]; then
  echo "circle: $(echo $circles | sed 's/tsort: //g')"; status=1
fi
exit $status
