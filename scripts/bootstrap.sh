#!/usr/bin/env bash
# Installs what building, running and testing Tessaro needs, from Debian's
# packages only. Idempotent: on a machine that has everything it only checks.
set -euo pipefail

need=()

pkgs=(cmake make mingw-w64-tools wine xvfb xauth
      xdotool x11-utils imagemagick locales fonts-vlgothic fonts-ipafont-gothic
      7zip googletest python3-gi gir1.2-gtk-3.0 fonts-wine
      desktop-file-utils libglib2.0-bin)
# 32-bit Wine and MinGW where the kernel runs 32-bit programs, else 64-bit.
. "$(dirname "$0")/wine-env.sh"
# Packages install in a locale every Debian has: the Japanese one may not
# exist yet, and every Perl script of the packages would say so.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ "$TESSARO_ARCH" = win32 ]; then
  pkgs+=(g++-mingw-w64-i686 wine32:i386)
else
  pkgs+=(g++-mingw-w64-x86-64 wine64)
fi
# One query for the whole list: a query per package cost a fifth of a second.
# Lines read "installed NAME:ARCH"; a name without an architecture takes any.
installed=$'\n'$(dpkg-query -W -f='${db:Status-Status} ${Package}:${Architecture}\n' "${pkgs[@]}" 2>/dev/null || true)$'\n'
for p in "${pkgs[@]}"; do
  [[ $installed == *$'\n'"installed $p"[:$'\n']* ]] || need+=("$p")
done
# npm fetches the Win32 engine for the Windows road and the release archive.
command -v npm >/dev/null 2>&1 || need+=(npm)

if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: missing packages: ${need[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "bootstrap: installing ${need[*]}" >&2
  if [ "$TESSARO_ARCH" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Code page 932 under Wine comes from a Japanese UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: locale ja_JP.UTF-8 missing (run as root)" >&2
    exit 1
  fi
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
