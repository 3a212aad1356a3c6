#!/usr/bin/env bash
# Cross-builds libjpeg from Debian's libjpeg-turbo source package into a cache folder
# outside the source tree (static library only); skipped when it is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${PVL_CACHE_DIR:-$HOME/.cache/parvolux}
prefix=$cache/libjpeg-mingw32
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  echo "$prefix"; exit 0
fi
mkdir -p "$cache/src"
cd "$cache/src"
if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
  apt-get source -qq libjpeg-turbo >&2
fi
srcdir=$(ls -d "$cache"/src/libjpeg-turbo-*/ | head -n 1)
rm -rf "$cache/build-jpeg"
cmake -S "$srcdir" -B "$cache/build-jpeg" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_JAVA=OFF >&2
cmake --build "$cache/build-jpeg" --target install >&2
echo "$prefix"
