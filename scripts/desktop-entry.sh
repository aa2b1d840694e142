#!/usr/bin/env bash
# Usage: desktop-entry.sh install|uninstall LAUNCHER
# Installs for the current user (XDG_DATA_HOME, default ~/.local/share) the
# desktop entry that runs LAUNCHER with the chosen or dropped files, and the
# icon as PNG at the hicolor sizes; or removes exactly what install wrote.
# The entry itself records the folders and cache that install had to create.
set -euo pipefail
action=$1
launcher=$2
root=$(cd "$(dirname "$0")/.." && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=applications/tessaro.desktop
sizes=(16 24 32 48 64 128 256)
icons=()
for n in "${sizes[@]}"; do icons+=("icons/hicolor/${n}x$n/apps/tessaro.png"); done
made_key=X-Tessaro-Made
have() { command -v "$1" >/dev/null 2>&1; }
recorded() { sed -n "s/^$made_key=//p" "$data/$entry"; }

# The caches that menus and "Open with" read, refreshed only where the user's
# own files are and only with the tools at hand.
refresh_caches() {
  if have update-desktop-database && [ -d "$data/applications" ]; then
    update-desktop-database -q "$data/applications" || true
  fi
  if have gtk-update-icon-cache && [ -f "$data/icons/hicolor/index.theme" ]; then
    gtk-update-icon-cache -q "$data/icons/hicolor" || true
  fi
}

# The launcher as one argument of an Exec line, by the Desktop Entry rules:
# quoted (blanks and the other reserved characters are then plain), the
# characters special inside quotes escaped, a literal % doubled (it would
# start a field code, quoted or not), then the backslashes of all that
# escaped once more for the entry's string value, and the control
# characters a value cannot hold written as its escapes. The entry runs it
# as bash's argument, not as the program: GLib looks for the program of an
# Exec line before it undoes %%, and would not find a launcher whose path
# holds a %.
exec_arg() {
  local s=$1
  s=${s//\\/\\\\}
  s=${s//\"/\\\"}
  s=${s//\`/\\\`}
  s=${s//\$/\\\$}
  s=${s//%/%%}
  s=${s//\\/\\\\}
  s=${s//$'\n'/\\n}
  s=${s//$'\t'/\\t}
  s=${s//$'\r'/\\r}
  printf '"%s"' "$s"
}

install_entry() {
  # Folders and the MIME cache that do not exist yet are recorded, so that
  # uninstall takes back those and nothing that was there before.
  local made=() f d
  # Installing again keeps what the first install made.
  [ -f "$data/$entry" ] && IFS=';' read -r -a made <<<"$(recorded)"
  for f in "$entry" "${icons[@]}"; do
    d=$(dirname "$f")
    while [ "$d" != . ] && [ ! -d "$data/$d" ]; do
      [[ " ${made[*]} " == *" $d "* ]] || made+=("$d")
      d=$(dirname "$d")
    done
  done
  if have update-desktop-database && [ ! -e "$data/applications/mimeinfo.cache" ] &&
    [[ " ${made[*]} " != *" applications/mimeinfo.cache "* ]]; then
    made+=(applications/mimeinfo.cache)
  fi
  for f in "${icons[@]}"; do
    mkdir -p "$data/$(dirname "$f")"
    n=${f#icons/hicolor/}
    n=${n%%x*}
    # Whole multiples keep the pixel drawing sharp; other sizes are smoothed.
    local filter=Lanczos
    [ $((n % 32)) -eq 0 ] && filter=Point
    convert "$root/res/tessaro.ico" -filter "$filter" -resize "${n}x$n" -strip \
      -define png:exclude-chunks=date,time "png32:$data/$f"
  done
  mkdir -p "$data/applications"
  local exec_line
  exec_line=$(exec_arg "$launcher")
  {
    sed "s|@EXEC@|$(printf '%s' "$exec_line" | sed 's/[&|\\]/\\&/g')|" "$root/desktop/tessaro.desktop.in"
    printf '%s=%s\n' "$made_key" "$(IFS=';'; echo "${made[*]}")"
  } >"$data/$entry.new"
  mv -f "$data/$entry.new" "$data/$entry"
  refresh_caches
  echo "tessaro: installed $data/$entry and its icons"
}

uninstall_entry() {
  [ -f "$data/$entry" ] || { echo "tessaro: not installed in $data" >&2; exit 0; }
  local made=() f
  IFS=';' read -r -a made <<<"$(recorded)"
  rm -f "$data/$entry"
  for f in "${icons[@]}"; do rm -f "$data/$f"; done
  refresh_caches
  # Deepest first, and only what is empty now: a file someone else put there
  # meanwhile keeps its folder.
  for f in $(printf '%s\n' "${made[@]}" | awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2-); do
    if [ "$f" = applications/mimeinfo.cache ]; then
      [ "$(grep -cv '^\[MIME Cache\]$\|^$' "$data/$f" 2>/dev/null)" = 0 ] && rm -f "$data/$f"
    else
      rmdir "$data/$f" 2>/dev/null || true
    fi
  done
  echo "tessaro: removed $data/$entry and its icons"
}

case "$action" in
  install) install_entry ;;
  uninstall) uninstall_entry ;;
  *) echo "usage: desktop-entry.sh install|uninstall LAUNCHER" >&2; exit 2 ;;
esac
