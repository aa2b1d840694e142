# Sourced: the host's 7-Zip console program, found where 7-zip32.dll looks
# for it under Wine (sevenzip32/locate.cpp): 7zz, else 7z. Debian 12's 7zip
# package installs 7zz; Debian 13's installs 7z (a script) and no 7zz.
# Every script, test and benchmark that runs the engine itself asks here.

# host_engine: prints the engine's path; fails, saying what to install, when
# there is none.
host_engine() {
  local p
  for p in /usr/bin/7zz /usr/local/bin/7zz /usr/bin/7z; do
    if [ -f "$p" ] && [ -x "$p" ]; then
      printf '%s\n' "$p"
      return 0
    fi
  done
  echo "no 7-Zip console program (7zz or 7z): apt-get install 7zip" >&2
  return 1
}
