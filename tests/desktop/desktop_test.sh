#!/usr/bin/env bash
# Usage: desktop_test.sh entry|prefix|together SOURCE_DIR BUILD_DIR
#   entry:    install the desktop entry into a fresh XDG_DATA_HOME, validate
#             it, run it through gio launch on two files, uninstall.
#   prefix:   the prefix script refuses folders that are not Tessaro's and
#             leaves them as they were; it builds through a link to an empty
#             folder and over what an interrupted creation left.
#   together: two launcher runs at once without a display both finish.
set -euo pipefail
case=$1 root=$2 build=$3
work=$(mktemp -d /tmp/tessaro-desktop-test.XXXXXX)
# A job of a failed case may still wait for an answer, holding the
# single-instance name for the tests after it: whatever names this test's
# folder (its copy of the program, the engine on its files) is ended.
cleanup() {
  local f pid
  for f in /proc/[0-9]*/cmdline; do
    pid=${f#/proc/} pid=${pid%/cmdline}
    if [ "$pid" != $$ ] && grep -qsaF "${work##*/}" "$f"; then kill "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$root/scripts/engine.sh"
engine=$(host_engine)

# The build's own prefix and home, as every other test uses them.
export HOME="$build/home" TESSARO_WINEPREFIX="$build/wineprefix" TESSARO_HEADLESS=1
mkdir -p "$HOME"

# The launcher runs a copy of the program in a build folder of this test,
# so that the settings file beside build/bin/Tessaro.exe, the user's own, is
# never written. A fresh stamp tells the launcher the copy needs no build.
# Jobs pack into a ZIP beside the first input, without asking anything.
settings() {
  export BUILD_DIR="$work/build"
  mkdir -p "$BUILD_DIR/bin"
  cp "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll" "$BUILD_DIR/bin/"
  touch "$BUILD_DIR/.launcher-checked"
  printf '[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nCOMP_FORMAT=ZIP\r\nCOMP_ENCRYPT=FALSE\r\n' \
    >"$BUILD_DIR/bin/Tessaro_$(id -un).ini"
}

# wait_archive DIR FILE...: the one ZIP that appears in DIR holds exactly the
# FILEs, byte for byte.
wait_archive() {
  local dir=$1 zip f end=$((SECONDS + 60)); shift
  while [ $SECONDS -lt $end ]; do
    zip=$(find "$dir" -maxdepth 1 -name '*.zip' | head -n 1)
    [ -n "$zip" ] && "$engine" t "$zip" >/dev/null 2>&1 && break
    sleep 0.1
  done
  [ -n "$zip" ] || fail "no archive in $dir"
  rm -rf "$work/x"
  "$engine" x -o"$work/x" -- "$zip" >/dev/null
  [ "$(find "$work/x" -type f | wc -l)" = $# ] || fail "$zip: $(find "$work/x" -type f)"
  for f in "$@"; do cmp -- "$f" "$work/x/$(basename -- "$f")" || fail "$zip: $f differs"; done
}

case $case in
entry)
  settings
  export XDG_DATA_HOME="$work/data"
  mkdir -p "$XDG_DATA_HOME" "$work/files"
  # The launcher's own path needs quoting and escaping in the Exec line, and
  # a % that is no field code.
  co="$work/ソース \$dir %f 'q' \"d\" \\b"
  ln -s "$root" "$co"
  "$co/tessaro.sh" --install >/dev/null
  app="$XDG_DATA_HOME/applications/tessaro.desktop"
  desktop-file-validate "$app" || fail "entry does not validate"
  for n in 16 24 32 48 64 128 256; do
    [ "$(identify -format %wx%h "$XDG_DATA_HOME/icons/hicolor/${n}x$n/apps/tessaro.png")" = "${n}x$n" ] ||
      fail "icon $n"
  done
  grep -qx 'application/zip=tessaro.desktop;' "$XDG_DATA_HOME/applications/mimeinfo.cache" ||
    fail "not offered for ZIP files"
  a="$work/files/表 ソ a.txt" b="$work/files/b c 日本.txt"
  echo first >"$a"
  head -c 5000 /dev/urandom >"$b"
  gio launch "$app" "$a" "$b"
  wait_archive "$work/files" "$a" "$b"
  "$root/tessaro.sh" --uninstall >/dev/null
  left=$(find "$XDG_DATA_HOME" -mindepth 1)
  [ -z "$left" ] || fail "left after uninstall: $left"
  ;;
prefix)
  # Each folder is in the way of a prefix; none may change.
  mkdir -p "$work/wine/drive_c" "$work/home/docs" "$work/pfx.creating/drive_c" "$work/pfx"
  echo reg >"$work/wine/system.reg"
  echo mine >"$work/home/docs/letter.txt"
  echo half >"$work/pfx.creating/user.reg"
  echo file >"$work/plain"
  snap() { find "$1" -printf '%p %s %T@\n' | sort && find "$1" -type f -exec sha256sum {} + | sort; }
  # prefix asked for | the folder that must stay | what the error says
  while IFS='|' read -r target kept expect; do
    before=$(snap "$work/$kept")
    if out=$("$root/scripts/wineprefix.sh" "$work/$target" "$work/desk" 2>&1); then
      fail "$target: accepted"
    fi
    [[ "$out" == *"$expect"* ]] || fail "$target: $out"
    [ "$before" = "$(snap "$work/$kept")" ] || fail "$target: $kept changed"
  done <<'TABLE'
wine|wine|/wine exists and is not a Tessaro Wine prefix
home|home|/home exists and is not a Tessaro Wine prefix
plain|plain|/plain exists and is not a Tessaro Wine prefix
pfx|pfx.creating|/pfx.creating exists and is not Tessaro's
TABLE
  # A link to an empty folder, and a complete prefix that an earlier version
  # left in PREFIX.creating: each becomes a prefix in place, twice over, and
  # nothing is left beside it (a stand-in Wine makes the folders it needs).
  mkdir -p "$work/bin" "$work/empty" "$work/old.creating" "$work/link.creating"
  ln -s empty "$work/link"
  echo "tessaro-prefix 1 unmanaged" >"$work/old.creating/.tessaro-ready"
  cp "$work/old.creating/.tessaro-ready" "$work/link.creating/"
  printf '#!/bin/sh\n[ "$1" != wineboot ] || mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" "$WINEPREFIX/drive_c/users/u"\n' >"$work/bin/wine"
  cp "$work/bin/wine" "$work/bin/wineserver"
  chmod +x "$work/bin/wine" "$work/bin/wineserver"
  for target in link link old old; do
    PATH="$work/bin:$PATH" TESSARO_WINE="$work/bin/wine" "$root/scripts/wineprefix.sh" \
      "$work/$target" "$work/desk" || fail "$target: refused"
  done
  [ -L "$work/link" ] && [ -f "$work/empty/.tessaro-ready" ] || fail "link: no prefix in empty/"
  [ -f "$work/old/.tessaro-ready" ] || fail "old: no prefix"
  left=$(find "$work" -maxdepth 1 -name '*.creating' ! -name pfx.creating)
  [ -z "$left" ] || fail "left beside: $left"
  ;;
together)
  settings
  # A Wine session begun without a display gives no later program of that
  # session any window: these runs get a prefix of their own, ended after.
  export TESSARO_WINEPREFIX="$build/wineprefix-together"
  trap 'WINEPREFIX=$TESSARO_WINEPREFIX wineserver -k 2>/dev/null || true; cleanup' EXIT
  unset DISPLAY
  mkdir -p "$work/one" "$work/two"
  head -c 3000000 /dev/urandom >"$work/one/big.bin"
  echo small >"$work/two/small.txt"
  "$root/tessaro.sh" "$work/one/big.bin" >"$work/one.log" 2>&1 &
  first=$!
  "$root/tessaro.sh" "$work/two/small.txt" >"$work/two.log" 2>&1 || fail "second run: $(cat "$work/two.log")"
  wait "$first" || fail "first run: $(cat "$work/one.log")"
  wait_archive "$work/one" "$work/one/big.bin"
  wait_archive "$work/two" "$work/two/small.txt"
  ;;
esac
echo "desktop_$case: passed"
