#!/usr/bin/env bash
# Usage: wineprefix.sh PREFIX DESKTOP [--managed|--unmanaged]
# Makes PREFIX a 32-bit Wine prefix for Tessaro (once): its desktop folder is
# the host folder DESKTOP, "MS UI Gothic" maps to an installed Japanese font
# and the caption-button font is in place. Without --managed the host's window
# manager leaves Wine's windows alone (no wait on a display without one).
# Safe to call concurrently; never deletes a folder it did not make: an
# existing PREFIX that is not Tessaro's is an error and stays as it is.
set -euo pipefail
prefix=${1%/}
desktop=$2
mode=unmanaged
[ "${3:-}" = --managed ] && mode=managed
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
# A prefix whose marker names another version or mode is set up again
# (registry only), so older prefixes gain what later versions add.
prefix_ready "$prefix" "$mode" && exit 0
ready="tessaro-prefix $TESSARO_PREFIX_VERSION $mode"
marker="$prefix/.tessaro-ready"

# A folder that exists, is not empty and carries no marker is someone else's.
foreign() {
  [ -d "$1" ] && [ ! -f "$1/.tessaro-ready" ] && [ -n "$(ls -A "$1")" ]
}
if foreign "$prefix" || { [ -e "$prefix" ] && [ ! -d "$prefix" ]; }; then
  echo "wineprefix: $prefix exists and is not a Tessaro Wine prefix; it is left" \
       "as it is. Choose another folder (TESSARO_WINEPREFIX) or move it away." >&2
  exit 1
fi

# A link stands for the folder it leads to: the prefix is built beside that
# folder and renamed into it, and the link stays as it was. Earlier versions
# built it beside the link and left it there, which is ours to remove.
if [ -L "$prefix" ]; then
  if [ -f "$prefix.creating/.tessaro-creating" ] || [ -f "$prefix.creating/.tessaro-ready" ]; then
    rm -rf "$prefix.creating"
  fi
  prefix=$(realpath -m -- "$prefix")
  marker="$prefix/.tessaro-ready"
fi

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
prefix_ready "$prefix" "$mode" && exit 0

# Registry values for a prefix of this mode; imported on creation and again
# whenever the marker differs.
configure() {
  export WINEPREFIX=$1
  local font="VL PGothic" managed='"Managed"=-' reg
  fc-list | grep -q 'VL PGothic' || font="IPAPGothic"
  [ "$mode" = managed ] || managed='"Managed"="N"'
  # Wine's own frame draws its caption buttons with the Marlett font, which
  # Wine did not find by itself (the buttons came out as the letters "0 1 r"):
  # the prefix carries the font among its own and lists it.
  cp /usr/share/wine/fonts/marlett.ttf "$1/drive_c/windows/Fonts/marlett.ttf"
  reg=$(mktemp --suffix=.reg)
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="$font"
"ＭＳ Ｐゴシック"="$font"
"ＭＳ ゴシック"="VL Gothic"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
$managed

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"Marlett (TrueType)"="marlett.ttf"

[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"winemenubuilder.exe"=""
REG
  iconv -f UTF-8 -t CP932 "$reg" >"$reg.sjis"
  "$WINE" regedit "$reg.sjis" >/dev/null 2>&1
  wineserver -w
  rm -f "$reg" "$reg.sjis"
}

if [ -f "$marker" ]; then
  configure "$prefix"
  echo "$ready" >"$marker"
  exit 0
fi

# A new prefix grows in a sibling folder that carries its own sign until it
# has taken its place: a creation that was interrupted or failed at any step
# leaves nothing at PREFIX, and its folder is known to be ours and made anew.
# (Earlier versions took the sign away before the rename and left a complete
# prefix there, with the marker of a finished one.)
work="$prefix.creating"
if [ -e "$work" ]; then
  if [ ! -f "$work/.tessaro-creating" ] && [ ! -f "$work/.tessaro-ready" ]; then
    echo "wineprefix: $work exists and is not Tessaro's; it is left as it is." >&2
    exit 1
  fi
  rm -rf "$work"
fi
mkdir "$work"
touch "$work/.tessaro-creating"
WINEPREFIX=$work "$WINE" wineboot -i >/dev/null 2>&1 || true
WINEPREFIX=$work wineserver -w || true
if [ ! -d "$work/drive_c/windows/Fonts" ]; then
  echo "wineprefix: Wine did not create a prefix in $work" \
       "(WINEPREFIX=$work wineboot -i shows why)" >&2
  exit 1
fi
configure "$work"

# The prefix links Desktop to the host home by default; point it where asked.
user_dir=$(ls -d "$work/drive_c/users/"* | grep -v '/Public$' | head -n 1)
mkdir -p "$desktop"
rm -rf "$user_dir/Desktop"
ln -s "$(cd "$desktop" && pwd)" "$user_dir/Desktop"

echo "$ready" >"$work/.tessaro-ready"
# An empty folder in the way is the only thing given up here.
if [ -d "$prefix" ]; then rmdir "$prefix"; fi
mv -T "$work" "$prefix"
rm -f "$prefix/.tessaro-creating"
