#!/usr/bin/env bash
# Usage: scripts/package.sh [win32|win64]
# Builds the release archive for Windows users:
#   build/dist/Tessaro-<version>-<arch>.zip
# holding one folder with Tessaro.exe, our 7-zip32.dll, the engine for the
# same Windows (7z.exe, 7z.dll) with 7-Zip's License.txt, and readme.txt.
# win32 (the default) is what ships; win64 is the same for 64-bit Windows,
# which the package test uses on machines whose Wine is 64-bit only.
# SKIP_BUILD=1 packs what is already built; BUILD_DIR picks the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
# A relative BUILD_DIR means the caller's folder, here and in the scripts
# called below; the archive is written from inside the staging folder.
[[ $build == /* ]] || build=$PWD/$build
export BUILD_DIR=$build
arch=${1:-win32}
. "$root/scripts/wine-env.sh"
case $arch in
  win32) mingw=i686-w64-mingw32 ;;
  win64) mingw=x86_64-w64-mingw32 ;;
  *) echo "package: unknown architecture $arch" >&2; exit 1 ;;
esac
# The build folder of this machine's width, or a folder of its own for the
# other width, where only the program and the library are built.
bin="$build/bin"
if [ "$arch" != "$TESSARO_ARCH" ]; then
  bin="$build/release-$arch/bin"
  if [ "${SKIP_BUILD:-0}" != 1 ]; then
    cmake -S "$root" -B "$build/release-$arch" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$mingw.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
    cmake --build "$build/release-$arch" -j"$(nproc)" --target Tessaro sevenzip32 -- \
      --no-print-directory >/dev/null
  fi
elif [ "${SKIP_BUILD:-0}" != 1 ]; then
  "$root/scripts/bootstrap.sh"
  "$root/scripts/build.sh" >/dev/null
fi
"$root/scripts/fetch-engine.sh" "$arch" "$build/engine-$arch"

# The version of project() in CMakeLists.txt, as the build wrote it down.
version=$(sed -n 's/^#define TESSARO_VERSION_FULL_TEXT "\(.*\)"$/\1/p' "${bin%/bin}/generated/version.h")
[ -n "$version" ] || { echo "package: no version in ${bin%/bin}/generated/version.h" >&2; exit 1; }
name="Tessaro-$version-$arch"
out="$build/dist/$name.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir="$stage/$name"
mkdir -p "$dir"
cp "$bin/Tessaro.exe" "$bin/7-zip32.dll" "$dir/"
cp "$build/engine-$arch/7z.exe" "$build/engine-$arch/7z.dll" "$build/engine-$arch/License.txt" \
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
engine=$(host_engine)
(cd "$stage" && "$engine" a -tzip -mx=9 -bso0 -bsp0 "$out" "$name" >/dev/null)
[ -s "$out" ] || { echo "package: $out was not written" >&2; exit 1; }
echo "$out ($(stat -c %s "$out") bytes)"
