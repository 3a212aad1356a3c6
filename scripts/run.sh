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

# shellcheck source=forms.sh
. "$root/scripts/forms.sh"
form=$(pvl_windows_form)
"$root/scripts/setup.sh"
"$root/scripts/build-libjpeg.sh" "$form" >/dev/null

if [ "$form" = win32 ]; then
  say "building the 32-bit program"
else
  say "building the 64-bit program$(pvl_runs_32bit || echo ': this machine cannot run 32-bit programs')"
fi
mkdir -p "$build"
cmake -S "$root" -B "$build/$form" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(pvl_toolchain "$root" "$form")" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPVL_FIXTURES_DIR="$build/fixtures" >"$build/$form.configure.log" 2>&1 \
  || { cat "$build/$form.configure.log"; exit 1; }
cmake --build "$build/$form" --target Parvolux -j "$jobs" >"$build/run.build.log" 2>&1 \
  || { grep -E 'error|FAILED' "$build/run.build.log" | head -n 40; exit 1; }

install=$build/run/Parvolux
mkdir -p "$install/Data" "$install/MediaID"
cp "$build/$form/ui/Parvolux.exe" "$install/"
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
"$root/scripts/wine-session.sh" start "$session" "$form"
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
# wine returns when the program ends; the session's own server and Xvfb end with the trap.
wine "$install/Parvolux.exe" "${args[@]}" 2>/dev/null || true
