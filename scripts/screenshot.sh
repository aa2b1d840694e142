#!/usr/bin/env bash
# Renders the main window under Xvfb inside Wine's virtual desktop (so the
# frame shows) and saves it as docs/window.png (or the path given).
# BUILD_DIR chooses the build folder (default: build); it must be built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$(realpath -m -- "${1:-$root/docs/window.png}")
exe="$build/bin/Tessaro.exe"
[ -f "$exe" ] || { echo "screenshot: $exe is missing; build first" >&2; exit 1; }

# A private copy, so that no settings file lands beside the build's exe.
stage=$(mktemp -d)
cleanup() {
  [ -n "${wine_pid:-}" ] && kill "$wine_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$stage"
}
trap cleanup EXIT
cp "$exe" "$stage/"
lib="$build/bin/7-zip32.dll"
[ -f "$lib" ] || lib="$build/tests/fake/7-zip32.dll"
cp "$lib" "$stage/7-zip32.dll"

export HOME="$build/home"
mkdir -p "$HOME"
"$root/scripts/wineprefix.sh" "$build/wineprefix" "$build/desktop"
. "$root/scripts/wine-env.sh"
export WINEPREFIX="$build/wineprefix"

start_xvfb 70 120 800x600x24
xvfb_pid=$XVFB_PID
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$stage" && exec "$WINE" explorer /desktop=shot,640x400 Tessaro.exe) >/dev/null 2>&1 &
wine_pid=$!

# The virtual desktop is the X window named "shot"; wait for the form in it.
desk=""
for _ in $(seq 150); do
  desk=$(xdotool search --name '^shot' 2>/dev/null | head -n 1 || true)
  [ -n "$desk" ] && xdotool search --name '^Tessaro [0-9]' >/dev/null 2>&1 && break
  sleep 0.2
done
[ -n "$desk" ] || { echo "screenshot: the virtual desktop did not appear" >&2; exit 1; }
sleep 2 # let the form paint
mkdir -p "$(dirname "$out")"
import -window "$desk" "$out"
echo "$out"

# Escape closes the form, which ends the program and its desktop.
xdotool key --window "$desk" Escape >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.1; done
