#!/usr/bin/env bash
# Builds and runs the benchmarks: natively (optimised, beside the reference libraries) and
# the Windows builds under Wine. Prints the machine's core count first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PVL_BUILD_DIR:-$root/build}
# shellcheck source=forms.sh
. "$root/scripts/forms.sh"
form=$(pvl_windows_form)
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build-libjpeg.sh" "$form" >/dev/null
echo "cores: $(nproc)  cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
cmake -S "$root" -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPVL_BENCH_ONLY=ON -DPVL_SANITIZE=OFF >/dev/null
cmake --build "$build/bench" -j "$(nproc)" >/dev/null
cmake -S "$root" -B "$build/$form" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(pvl_toolchain "$root" "$form")" >/dev/null
cmake --build "$build/$form" -j "$(nproc)" >/dev/null
for exe in "$build"/bench/bench/*/*_bench; do
  [ -x "$exe" ] || continue
  echo "== native: $(basename "$exe")"; "$exe" "$@"
done
session=$build/$form/wine
# The open benchmark plays the media fixtures.
"$root/scripts/make-fixtures.sh" "$build/fixtures" >/dev/null
export PVL_FIXTURES="Z:$build/fixtures"
"$root/scripts/wine-session.sh" start "$session" "$form"
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
for exe in "$build/$form"/bench/*/*_bench.exe; do
  [ -f "$exe" ] || continue
  echo "== Wine, $form: $(basename "$exe")"; PVL_WINE_DIR="$session" "$root/scripts/wine-exec.sh" "$exe"
done
