#!/usr/bin/env bash
# Cross-builds libjpeg from Debian's libjpeg-turbo source package into a cache folder
# outside the source tree (static library only), for one Windows form; skipped when it is
# already there. Prints the install folder.
#   scripts/build-libjpeg.sh [win32|win64]      (default win32)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
form=${1:-win32}
case $form in
  win32) toolchain=$here/cmake/mingw-i686.cmake; prefix_name=libjpeg-mingw32 ;;
  win64) toolchain=$here/cmake/mingw-x86_64.cmake; prefix_name=libjpeg-mingw64 ;;
  *) echo "unknown form '$form' (win32 or win64)" >&2; exit 2 ;;
esac
cache=${PVL_CACHE_DIR:-$HOME/.cache/parvolux}
prefix=$cache/$prefix_name
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  echo "$prefix"; exit 0
fi
mkdir -p "$cache/src"
cd "$cache/src"
if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
  apt-get source -qq libjpeg-turbo >&2
fi
srcdir=$(ls -d "$cache"/src/libjpeg-turbo-*/ | head -n 1)
work=$cache/build-jpeg-$form
rm -rf "$work"
cmake -S "$srcdir" -B "$work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_JAVA=OFF >&2
cmake --build "$work" --target install >&2
echo "$prefix"
