#!/usr/bin/env bash
# Builds the release archive for Windows users:
#   build/dist/Tessaro-<version>-win32.zip
# holding one folder with Tessaro.exe, our 7-zip32.dll, the Win32 engine
# (7z.exe, 7z.dll) with 7-Zip's License.txt, and readme.txt.
# SKIP_BUILD=1 packs what is already built; BUILD_DIR picks the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ "${SKIP_BUILD:-0}" != 1 ]; then
  "$root/scripts/bootstrap.sh"
  "$root/scripts/build.sh" >/dev/null
fi
"$root/scripts/fetch-engine.sh" "$build/engine-win32"

version=$(sed -n 's/^project(Tessaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
name="Tessaro-$version-win32"
out="$build/dist/$name.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir="$stage/$name"
mkdir -p "$dir"
cp "$build/bin/Tessaro.exe" "$build/bin/7-zip32.dll" "$dir/"
cp "$build/engine-win32/7z.exe" "$build/engine-win32/7z.dll" "$build/engine-win32/License.txt" \
  "$dir/"
# UTF-8 with a byte order mark and CRLF: Notepad on any Windows, Japanese or
# not, then shows both languages (code page 932 would be garbled elsewhere).
{
  printf '\357\273\277'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/dist/readme.txt"
} >"$dir/readme.txt"
# The same bytes from the same sources: every entry gets the last commit's time.
stamp=$(git -C "$root" log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null ||
  date +%Y%m%d%H%M.%S)
find "$dir" -exec touch -t "$stamp" {} +

mkdir -p "$build/dist"
rm -f "$out"
(cd "$stage" && 7zz a -tzip -mx=9 -bso0 -bsp0 "$out" "$name" >/dev/null)
echo "$out ($(stat -c %s "$out") bytes)"
