#!/usr/bin/env bash
# Builds the player and starts it with the given files (or addresses and switches):
#   scripts/run.sh [files...]
# It installs what is missing, lays out an installation under build/run (the program,
# "Data" with "filetypes.cfg", "MediaID"), writes "InstallPath" into its own Wine prefix,
# and waits until the player closes. Without a display it starts Xvfb; without a sound
# device it plays into ALSA's null device.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PVL_BUILD_DIR:-$root/build}
jobs=${PVL_JOBS:-$(nproc 2>/dev/null || echo 2)}
say() { printf '[run] %s\n' "$*"; }

"$root/scripts/setup.sh"
"$root/scripts/build-libjpeg.sh" >/dev/null

say "building"
mkdir -p "$build"
cmake -S "$root" -B "$build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPVL_FIXTURES_DIR="$build/fixtures" >"$build/win32.configure.log" 2>&1 \
  || { cat "$build/win32.configure.log"; exit 1; }
cmake --build "$build/win32" --target Parvolux -j "$jobs" >"$build/run.build.log" 2>&1 \
  || { grep -E 'error|FAILED' "$build/run.build.log" | head -n 40; exit 1; }

install=$build/run/Parvolux
mkdir -p "$install/Data" "$install/MediaID"
cp "$build/win32/ui/Parvolux.exe" "$install/"
cp "$root/Data/filetypes.cfg" "$install/Data/"

# The user's display and sound when there are any.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export PVL_DISPLAY=$DISPLAY XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
else
  unset PVL_DISPLAY
  say "no display: the player runs on a virtual X server (Xvfb)"
fi
if compgen -G '/dev/snd/pcmC*p' >/dev/null; then
  export PVL_REAL_AUDIO=1
else
  unset PVL_REAL_AUDIO
  say "no sound device: audio goes to ALSA's null device"
fi

session=$build/run/wine
"$root/scripts/wine-session.sh" start "$session"
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
# shellcheck disable=SC1091
. "$session/session/env.sh"
# The installer's part on Windows: where the program lives, with its separator.
wine reg add 'HKLM\Software\Kestrel Forge\Parvolux\1.0' /v InstallPath /d "$(winepath -w "$install")\\" /f >/dev/null 2>&1

args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$(winepath -w "$(realpath "$a")")"); else args+=("$a"); fi
done
say "starting Parvolux; it keeps running until you close it"
wine "$install/Parvolux.exe" "${args[@]}" 2>/dev/null || true
wineserver -w || true
