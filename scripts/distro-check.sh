#!/usr/bin/env bash
# Usage: scripts/distro-check.sh bookworm|trixie
# Runs ./test.sh as a fresh Debian machine of that release would: a clean
# minimal system (debootstrap, made once and kept under DISTRO_CACHE, default
# /var/cache/tessaro-distro), seen through a fresh overlay for every run so
# nothing of an earlier run remains, with this checkout's HEAD cloned into
# /root/tessaro, run as root with CI=true and no standard input. Prints the
# ctest summary and the time taken; exits with the suite's status. Needs
# root, minutes and the package registries: it is no part of ./test.sh.
#
# Only the downloaded .deb files are kept between runs (DISTRO_CACHE/
# RELEASE-debs), which saves fetching them again; they are installed anew.
# The full output of the last run is kept in DISTRO_CACHE/RELEASE.log.
# TESSARO_ARCH=win64 (or win32) is passed on, to take that road in the
# system whatever the kernel runs. DISTRO_KEEP=1 keeps the run's changes to
# the clean system (the overlay's upper folder, with the checkout and its
# build) for a look afterwards.

# One block, read whole before it runs: editing this file during a run does
# not change the run.
{
set -euo pipefail
release=${1:-}
case $release in
  bookworm | trixie) ;;
  *) echo "usage: $0 bookworm|trixie" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${DISTRO_CACHE:-/var/cache/tessaro-distro}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
security_mirror=${DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}
base="$cache/$release"
if [ "$(id -u)" -ne 0 ]; then
  echo "distro-check: needs root (debootstrap, chroot, mounts)" >&2
  exit 1
fi
started=$SECONDS
elapsed() { printf '%dm%02ds' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)); }

# The clean system, made once; a half-made one is made again.
if [ ! -f "$base.ready" ]; then
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  fi
  mkdir -p "$cache"
  rm -rf "$base"
  echo "distro-check: making a clean $release in $base ..."
  debootstrap --variant=minbase --include=git,ca-certificates "$release" "$base" "$mirror" \
    >"$cache/$release-debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/$release-debootstrap.log" >&2; exit 1; }
  date -u >"$base.ready"
fi
mkdir -p "$cache/$release-debs/partial"

# What is tested is the committed HEAD, as a new user would clone it.
head=$(git -C "$root" rev-parse HEAD)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
  echo "distro-check: testing HEAD ${head:0:12}; uncommitted changes are left out" >&2
fi

run=$(mktemp -d "/var/tmp/tessaro-distro-$release.XXXXXX")
sys="$run/root"
mkdir -p "$run/upper" "$run/work" "$sys"
log="$cache/$release.log"

# Whatever the run left running inside the system (a Wine server waiting
# out its persistence, a display) is ended, by process id, before the run's
# files go.
end_run() {
  local p left
  for _ in 1 2 3 4 5; do
    left=
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$sys" ] || continue
      left=1
      kill -9 "${p#/proc/}" 2>/dev/null || true
    done
    [ -n "$left" ] || break
    sleep 0.5
  done
  if [ "${DISTRO_KEEP:-0}" = 1 ]; then
    echo "distro-check: kept $run (upper: what the run changed over $base)"
  else
    rm -rf "$run"
  fi
}
trap end_run EXIT

# Mounts live only in a private mount namespace: they vanish with the run.
inside() {
  mount --make-rprivate /
  if ! mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$sys" 2>/dev/null; then
    cp -a "$base/." "$sys/"
  fi
  mount -t proc proc "$sys/proc"
  mount --rbind /dev "$sys/dev"
  mount --rbind /sys "$sys/sys"
  # Displays are numbered per machine, not per file system: the system sees
  # the host's X sockets, so its test display never takes a number in use.
  mkdir -p "$sys/tmp/.X11-unix"
  chmod 1777 "$sys/tmp/.X11-unix"
  [ -d /tmp/.X11-unix ] && mount --bind /tmp/.X11-unix "$sys/tmp/.X11-unix"
  mount --bind "$cache/$release-debs" "$sys/var/cache/apt/archives"
  # Name service and the registries' trust as the host has them: without
  # the host's npm settings and CA bundle npm cannot reach its registry here.
  cp -L /etc/resolv.conf "$sys/etc/resolv.conf"
  # An installed Debian takes its updates and security fixes too; debootstrap
  # writes only the release itself.
  printf 'deb %s %s main\ndeb %s %s-updates main\ndeb %s %s-security main\n' \
    "$mirror" "$release" "$mirror" "$release" "${security_mirror}" "$release" >"$sys/etc/apt/sources.list"
  local f
  for f in /etc/npmrc /usr/etc/npmrc /etc/ssl/certs/ca-certificates.crt; do
    if [ -f "$f" ]; then
      mkdir -p "$sys${f%/*}"
      cp -L "$f" "$sys$f"
    fi
  done
  git init -q "$sys/root/tessaro"
  git -C "$sys/root/tessaro" fetch -q "$root" HEAD
  git -C "$sys/root/tessaro" checkout -q -b tessaro FETCH_HEAD
  chroot "$sys" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb CI=true \
    ${TESSARO_ARCH:+TESSARO_ARCH=$TESSARO_ARCH} \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /root/tessaro || exit 1; s=0; ./test.sh || s=$?
      echo "distro-check-versions: Debian $(cat /etc/debian_version), wine $(dpkg-query -W -f="\${Version}" wine 2>&1), 7zip $(dpkg-query -W -f="\${Version}" 7zip 2>&1)"
      exit $s' </dev/null
}

echo "distro-check: $release, HEAD ${head:0:12}, output in $log"
status=0
export -f inside
export run sys base root cache release mirror security_mirror TESSARO_ARCH
unshare -m bash -c inside >"$log" 2>&1 </dev/null || status=$?

# The log holds code page 932 bytes: grep must not take it for binary.
versions=$(sed -n 's/^distro-check-versions: //p' "$log" | tail -n 1)
summary=$(grep -a -E '^[0-9]+% tests passed' "$log" | tail -n 1) || summary="no ctest summary"
echo "distro-check: $release: $summary"
sed -n '/^The following tests FAILED:/,/^Errors while running/p' "$log"
[ -n "$versions" ] && echo "distro-check: $release: $versions"
echo "distro-check: $release: exit $status after $(elapsed)"
exit "$status"
}
