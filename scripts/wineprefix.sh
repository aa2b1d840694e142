#!/usr/bin/env bash
# Usage: wineprefix.sh PREFIX DESKTOP
# Creates (once) a 32-bit Wine prefix for Tessaro whose desktop folder is the
# host folder DESKTOP, maps "MS UI Gothic" to an installed Japanese font and
# turns off the window-manager wait. Safe to call concurrently.
set -euo pipefail
prefix=$1
desktop=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$prefix

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.tessaro-ready" ]; then exit 0; fi

rm -rf "$prefix"
"$WINE" wineboot -i >/dev/null 2>&1 || true
wineserver -w

font="VL PGothic"
fc-list | grep -q 'VL PGothic' || font="IPAPGothic"
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="$font"
"ＭＳ Ｐゴシック"="$font"
"ＭＳ ゴシック"="VL Gothic"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"winemenubuilder.exe"=""
REG
iconv -f UTF-8 -t CP932 "$reg" >"$reg.sjis"
"$WINE" regedit "$reg.sjis" >/dev/null 2>&1
wineserver -w
rm -f "$reg" "$reg.sjis"

# The prefix links Desktop to the host home by default; point it where asked.
user_dir=$(ls -d "$prefix/drive_c/users/"* | grep -v '/Public$' | head -n 1)
mkdir -p "$desktop"
rm -rf "$user_dir/Desktop"
ln -s "$(cd "$desktop" && pwd)" "$user_dir/Desktop"

touch "$prefix/.tessaro-ready"
