#!/usr/bin/env bash
# Usage: test.sh SOURCE_DIR BUILD_DIR
# The release archive as a Windows user gets it, on a Wine that cannot reach
# the host engine (hidden in a private mount namespace): unpacked into a fresh
# prefix, Tessaro from that folder shows its window, keeps its settings beside
# itself, and packs and unpacks a tree with Japanese names byte for byte.
set -euo pipefail
root=$1
build=$2

if [ "${3:-}" != inside ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "package test: needs root for a private mount namespace" >&2
    exit 77
  fi
  # The archive of this machine's width: the win32 one where Wine runs 32-bit
  # programs, else its 64-bit twin (same sources, same readme, x64 engine).
  # BUILD_DIR is given relative to the caller's folder, as typed in a shell.
  . "$root/scripts/wine-env.sh"
  (cd "${build%/*}" && SKIP_BUILD=1 BUILD_DIR=${build##*/} "$root/scripts/package.sh" \
    "$TESSARO_ARCH" >/dev/null)
  work=$(mktemp -d /tmp/tessaro-package.XXXXXX)
  # Only this side removes the work folder: inside, part of it is /usr/bin.
  trap 'rm -rf "$work"' EXIT
  unshare -m "$0" "$root" "$build" inside "$work"
  exit 0
fi

work=$4
fail() {
  echo "package test: $*" >&2
  exit 1
}

# /usr/bin (and /usr/local/bin) seen through a folder of links to everything
# but the engine's names.
n=0
for dir in /usr/bin /usr/local/bin; do
  [ -d "$dir" ] || continue
  n=$((n + 1))
  mkdir -p "$work/real$n" "$work/view$n"
  mount --bind "$dir" "$work/real$n"
  for f in "$dir"/*; do
    case ${f##*/} in 7z | 7za | 7zr | 7zz) continue ;; esac
    # Links resolved now: relative ones would resolve inside the view.
    target=$(realpath -m "$f")
    case $target in "$dir"/*) target="$work/real$n/${target#"$dir"/}" ;; esac
    ln -s "$target" "$work/view$n/${f##*/}"
  done
  mount --bind "$work/view$n" "$dir"
done
. "$root/scripts/engine.sh"
! host_engine >/dev/null 2>&1 && ! command -v 7zz >/dev/null && ! command -v 7z >/dev/null ||
  fail "the host engine is still there"

export HOME="$work/home"
mkdir -p "$HOME"
. "$root/scripts/wine-env.sh"
XVFB_PID=
if [ -z "${DISPLAY:-}" ]; then start_xvfb 130 160; fi
"$root/scripts/wineprefix.sh" "$work/prefix" "$work/desktop"
export WINEPREFIX="$work/prefix"
trap 'wineserver -k 2>/dev/null || true; [ -z "$XVFB_PID" ] || kill "$XVFB_PID"' EXIT

zip=$(ls "$build"/dist/Tessaro-*-"$TESSARO_ARCH".zip)
name=$(basename "$zip" .zip)
python3 -m zipfile -e "$zip" "$work/prefix/drive_c/"
app="$work/prefix/drive_c/$name"
for f in Tessaro.exe 7-zip32.dll 7z.exe 7z.dll License.txt readme.txt; do
  [ -s "$app/$f" ] || fail "$f is not in $name.zip"
done
exe="C:\\$name\\Tessaro.exe"
ini="$app/Tessaro_$(id -un).ini"

# The window, and its settings beside it when OK (Enter) is pressed.
"$WINE" "$exe" &
pid=$!
wid=
for _ in $(seq 150); do
  wid=$(xdotool search --onlyvisible --name '^Tessaro [0-9]' 2>/dev/null | head -n 1) || true
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || fail "no window appeared"
sleep 0.5
import -window root "$build/package-window.png" 2>/dev/null || true
xdotool windowfocus "$wid"
sleep 0.3
xdotool key Return
wait "$pid" || fail "Tessaro ended with $?"
[ -s "$ini" ] || fail "no settings beside Tessaro.exe"

# A tree with Japanese names, packed and unpacked in both formats.
src="$work/src/tree"
mkdir -p "$src/表ソ フォルダ/深い" "$src/空のフォルダ"
printf 'hyou\r\n' >"$src/表.txt"
: >"$src/empty.bin"
printf 'deep with 表 and ソ' >"$src/表ソ フォルダ/深い/ソース 能.txt"
head -c 3000000 /dev/urandom >"$src/表ソ フォルダ/noise.bin"
windows() { local p=$1; echo "Z:${p//\//\\}"; }
for format in ZIP 7Z; do
  ext=$(echo "$format" | tr 'A-Z' 'a-z')
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_ALL=TRUE\r\nDECOMP_DIR=FALSE\r\nCOMP_ENCRYPT=FALSE\r\nCOMP_FORMAT=%s\r\nCOMP_LEVEL=LEVEL3\r\n' \
    "$format" >"$ini"
  "$WINE" "$exe" "$(windows "$src")" || fail "$format: packing ended with $?"
  out="$work/out-$ext"
  mkdir -p "$out"
  mv "$work/src/tree.$ext" "$out/" || fail "$format: no archive"
  "$WINE" "$exe" "$(windows "$out/tree.$ext")" || fail "$format: unpacking ended with $?"
  diff -r "$src" "$out/tree" || fail "$format: the tree came back different"
  [ "$(ls -A "$out")" = "$(printf 'tree\ntree.%s' "$ext")" ] || fail "$format: debris: $(ls -A "$out")"
done
echo "package test: $name passed"
