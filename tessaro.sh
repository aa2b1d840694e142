#!/usr/bin/env bash
# ./tessaro.sh [PATH...]
# Installs what is missing, builds, and runs Tessaro under Wine. With paths it
# runs one command-line job on them and ends; without, it opens the window.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" >/dev/null
build=${BUILD_DIR:-$root/build}

# The user's own prefix, whose desktop is the host's ~/Desktop.
prefix=${TESSARO_WINEPREFIX:-$HOME/.local/share/tessaro/wineprefix}
"$root/scripts/wineprefix.sh" "$prefix" "$HOME/Desktop"
. "$root/scripts/wine-env.sh"
export WINEPREFIX=$prefix

# Host paths become absolute Windows paths on drive Z:, which maps "/".
args=()
for p in "$@"; do
  abs=$(realpath -m -- "$p")
  args+=("Z:${abs//\//\\}")
done

had_display=${DISPLAY:-}
if [ -z "${DISPLAY:-}" ]; then
  if [ $# -eq 0 ]; then
    start_xvfb 20 60
    trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
    echo "tessaro: no display; the window runs on the virtual display $DISPLAY" \
         "(look: DISPLAY=$DISPLAY import -window root shot.png)" >&2
  else
    echo "tessaro: no display; dialogs fall back to the terminal or are answered No" >&2
  fi
fi
status=0
"$WINE" "$build/bin/Tessaro.exe" "${args[@]}" || status=$?
# Without a display a folder opened afterwards has nowhere to show: end the
# file manager it started instead of leaving it behind.
if [ -z "$had_display" ]; then
  wineserver -k 2>/dev/null || true
fi
exit $status
