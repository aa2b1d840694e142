# Sourced: the environment every Wine run of Tessaro uses.
# Code page 932 comes from the Japanese locale; no installer prompts ever.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32

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

# prefix_ready PREFIX MODE: true when PREFIX is a Tessaro prefix set up by
# this version for MODE (managed or unmanaged); cheap enough for every start.
TESSARO_PREFIX_VERSION=2
prefix_ready() {
  local got
  [ -f "$1/.tessaro-ready" ] && read -r got <"$1/.tessaro-ready" &&
    [ "$got" = "tessaro-prefix $TESSARO_PREFIX_VERSION $2" ]
}
