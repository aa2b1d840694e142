# Sourced: the environment every Wine run of Tessaro uses.
# Code page 932 comes from the Japanese locale; no installer prompts ever.
# On a fresh machine the locale is made later by bootstrap.sh: no warning.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 2>/dev/null
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
. "$(dirname "${BASH_SOURCE[0]}")/engine.sh"

# True when the kernel runs 32-bit x86 programs. Some kernels (IA-32
# emulation off) refuse them, and with them 32-bit Wine: there Tessaro is
# built for x86-64 and runs under 64-bit Wine instead. The probe is the
# smallest i386 program that exits 0 (an ELF header, one segment, exit(0)).
host_runs_i386() {
  local probe
  probe=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\61\333\270\1\0\0\0\315\200' >"$probe"
  chmod +x "$probe"
  local ok=1
  "$probe" 2>/dev/null && ok=0
  rm -f "$probe"
  return $ok
}

# TESSARO_ARCH (win32 or win64) picks the MinGW target, the Wine loader and
# the prefix kind; set it to force one.
if [ -z "${TESSARO_ARCH:-}" ]; then
  if host_runs_i386; then TESSARO_ARCH=win32; else TESSARO_ARCH=win64; fi
fi
export TESSARO_ARCH WINEARCH=$TESSARO_ARCH
if [ "$TESSARO_ARCH" = win64 ]; then
  TESSARO_MINGW=x86_64-w64-mingw32
  # Debian's wine wrapper prefers the 32-bit loader whenever it is installed.
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
else
  TESSARO_MINGW=i686-w64-mingw32
  WINE=wine
fi
# TESSARO_WINE names another loader (the launcher's benchmark uses a stand-in).
WINE=${TESSARO_WINE:-$WINE}
export TESSARO_MINGW WINE

# start_xvfb FIRST LAST [SIZE]: starts Xvfb on the first free display number
# in FIRST..LAST, waits until it accepts clients, exports DISPLAY and sets
# XVFB_PID for the caller to end it.
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 "${3:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  sleep 0.2
}

# test_display BUILD FIRST LAST: a virtual display for test runs (unless one
# is set) and, on exit, the end of that display and of BUILD's Wine session.
test_display() {
  TEST_BUILD=$1
  XVFB_PID=
  trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; WINEPREFIX="$TEST_BUILD/wineprefix" wineserver -k 2>/dev/null || true' EXIT
  [ -n "${DISPLAY:-}" ] || start_xvfb "$2" "$3"
}

# prefix_ready PREFIX MODE: true when PREFIX is a Tessaro prefix set up by
# this version for MODE (managed or unmanaged); cheap enough for every start.
TESSARO_PREFIX_VERSION=2
prefix_ready() {
  local got
  [ -f "$1/.tessaro-ready" ] && read -r got <"$1/.tessaro-ready" &&
    [ "$got" = "tessaro-prefix $TESSARO_PREFIX_VERSION $2" ]
}
