#!/usr/bin/env bash
# Builds and runs the benchmarks: natively (optimised, beside the reference libraries) and
# the Windows builds under Wine. Prints the machine's core count first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PVL_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build-libjpeg.sh" >/dev/null
echo "cores: $(nproc)  cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
cmake -S "$root" -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPVL_BENCH_ONLY=ON -DPVL_SANITIZE=OFF >/dev/null
cmake --build "$build/bench" -j "$(nproc)" >/dev/null
cmake -S "$root" -B "$build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/win32" -j "$(nproc)" >/dev/null
for exe in "$build"/bench/bench/*/*_bench; do
  [ -x "$exe" ] || continue
  echo "== native: $(basename "$exe")"; "$exe" "$@"
done
"$root/scripts/wine-session.sh" start "$build/win32/wine"
for exe in "$build"/win32/bench/*/*_bench.exe; do
  [ -f "$exe" ] || continue
  echo "== Wine: $(basename "$exe")"; PVL_WINE_DIR="$build/win32/wine" "$root/scripts/wine-exec.sh" "$exe"
done
"$root/scripts/wine-session.sh" stop "$build/win32/wine"
