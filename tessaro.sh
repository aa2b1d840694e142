#!/usr/bin/env bash
# ./tessaro.sh [PATH...]          run Tessaro under Wine: with paths one
#                                 command-line job on them, without the window
# ./tessaro.sh --install          put Tessaro in the desktop menu and in
#                                 "Open with" for ZIP and 7z (this user only)
# ./tessaro.sh --uninstall        take back exactly what --install wrote
# Installs what is missing and builds first, unless nothing changed since the
# last check.
set -euo pipefail
# Every process started before Wine counts against each run's start-up time:
# the quick road below starts only find and flock. The folder is the physical
# one, so that the build check sees the sources even when the launcher is
# reached through a link; the desktop entry keeps the link.
here=$PWD root=.
case "$0" in */*) root=${0%/*} ;; esac
cd "$root" && called=$PWD/${0##*/} && cd -P . && root=$PWD && cd "$here"
if [ "${1:-}" = --uninstall ]; then
  exec "$root/scripts/desktop-entry.sh" uninstall "$called"
fi
build=${BUILD_DIR:-$root/build}
exe=$build/bin/Tessaro.exe

# The last check's stamp: packages (the dpkg database and the locales have not
# changed since) and the build (no file of the source tree has either). The
# stamp is taken before checking, so a change made meanwhile is seen next time.
stamp=$build/.launcher-checked
current() {
  [ -f "$stamp" ] && [ -f "$exe" ] && [ -f "$build/bin/7-zip32.dll" ] &&
    [ ! /var/lib/dpkg/status -nt "$stamp" ] &&
    [ ! /usr/lib/locale/locale-archive -nt "$stamp" ] &&
    [ -z "$(find "$root" -mindepth 1 \( -name .git -o -path "$build" -o -path "$root/build*" \) \
             -prune -o -cnewer "$stamp" -print -quit)" ]
}
if ! current; then
  # Runs started together check and build one after the other.
  mkdir -p "$build"
  exec 7>"$build/.launcher-lock"
  flock 7
  if ! current; then
    touch "$stamp.new"
    "$root/scripts/bootstrap.sh"
    "$root/scripts/build.sh" >/dev/null
    mv -f "$stamp.new" "$stamp"
  fi
  exec 7>&-
fi
# Installed only once built, so that the menu entry starts at once.
if [ "${1:-}" = --install ]; then
  exec "$root/scripts/desktop-entry.sh" install "$called"
fi
. "$root/scripts/wine-env.sh"

# Host paths become absolute Windows paths on drive Z:, which maps "/". The
# names are made absolute as the shell shows them (".." taken lexically, as
# "cd" does), without starting a program for it.
args=()
for p in "$@"; do
  [[ $p == /* ]] || p=$PWD/$p
  out=()
  p+=/
  while [[ $p == */* ]]; do
    part=${p%%/*}
    p=${p#*/}
    case $part in
      "" | .) ;;
      ..) [ ${#out[@]} -eq 0 ] || unset 'out[-1]' ;;
      *) out+=("$part") ;;
    esac
  done
  win='\'
  [ ${#out[@]} -eq 0 ] || printf -v win '\\%s' "${out[@]}"
  args+=("Z:$win")
done

# A display of our own (none given, the window asked for) has no window
# manager: its prefix keeps Wine's windows unmanaged, as the tests' does.
# TESSARO_HEADLESS says the same of a display someone else started bare.
own_xvfb=
if [ -z "${DISPLAY:-}" ] && [ $# -eq 0 ]; then
  start_xvfb 20 60
  own_xvfb=$XVFB_PID
  trap 'kill $own_xvfb 2>/dev/null || true' EXIT
  echo "tessaro: no display; the window runs on the virtual display $DISPLAY" \
       "(look: DISPLAY=$DISPLAY import -window root shot.png)" >&2
elif [ -z "${DISPLAY:-}" ]; then
  echo "tessaro: no display; dialogs fall back to the terminal or are answered No" >&2
fi
data=$HOME/.local/share/tessaro
if [ -n "$own_xvfb" ] || [ -n "${TESSARO_HEADLESS:-}" ]; then
  prefix=${TESSARO_WINEPREFIX:-$data/wineprefix-headless}
  mode=unmanaged
else
  prefix=${TESSARO_WINEPREFIX:-$data/wineprefix}
  mode=managed
fi
if ! prefix_ready "$prefix" "$mode"; then
  "$root/scripts/wineprefix.sh" "$prefix" "$HOME/Desktop" "--$mode"
fi
export WINEPREFIX=$prefix

# One Tessaro runs per prefix and a second start hands over to it, dropping
# its paths: jobs wait their turn instead. The lock is not passed to Wine, so
# a folder window left open does not hold it.
if [ $# -gt 0 ]; then
  exec 8>"$prefix/.tessaro-job.lock"
  if ! flock -n 8; then
    echo "tessaro: waiting for the running job to end" >&2
    flock 8
  fi
fi

# Every Windows and host process this run starts carries its mark, so that
# what it leaves behind can be told from anyone else's.
run="$$-$EPOCHREALTIME"
status=0
TESSARO_RUN=$run "$WINE" "$exe" "${args[@]}" 8>&- || status=$?

# Without the user's display a folder opened afterwards has nowhere to show:
# end the file managers and engines this run started, nothing else (not the
# Wine server nor the desktop process other runs may share).
if [ -z "${DISPLAY:-}" ] || [ -n "$own_xvfb" ]; then
  for env in $(grep -lsxzF "TESSARO_RUN=$run" /proc/[0-9]*/environ); do
    pid=${env#/proc/}
    pid=${pid%/environ}
    mapfile -d '' -t argv 2>/dev/null <"/proc/$pid/cmdline" || continue
    case "${argv[*]}" in
      *explorer.exe*/desktop*) ;;
      *explorer.exe* | *Tessaro.exe*) kill "$pid" 2>/dev/null || true ;;
      *) case ${argv[0]##*/} in 7zz | 7z) kill "$pid" 2>/dev/null || true ;; esac ;;
    esac
  done
fi
exit $status
