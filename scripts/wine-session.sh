#!/usr/bin/env bash
# One Xvfb and one booted Wine prefix for a whole run, kept private to a build folder:
#   wine-session.sh start <dir> [win32|win64]   writes <dir>/session/env.sh, the environment
#                                               to source (DISPLAY, WINEPREFIX, HOME, ...)
#   wine-session.sh stop <dir>                  ends what start started
# The form (default: what this machine runs) makes a 32-bit or a 64-bit prefix.
# The private HOME carries an ALSA null device so DirectSound works without a sound card;
# nothing of the user's own sound, X or Wine configuration is touched.
set -euo pipefail
cmd=${1:?start|stop}; dir=$(mkdir -p "${2:?folder}" && cd "$2" && pwd)
home=$dir/home; prefix=$dir/wineprefix; state=$dir/session
# shellcheck source=forms.sh
. "$(dirname "$0")/forms.sh"

wine_env() {
  local path=$PATH
  # The 64-bit form runs on the 64-bit loader even where the 32-bit one is installed too.
  [ "$form" = win64 ] && [ -x /usr/lib/wine/wine64 ] && path=$state/bin:$PATH
  # Wine takes its code pages from the locale: the Western one (1252) whatever the caller's.
  echo "export LC_ALL=en_US.UTF-8 HOME='$home' WINEPREFIX='$prefix' WINEARCH=$form WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d' DISPLAY='$1' PATH='$path' PVL_WINE_FORM=$form"
}

case $cmd in
start)
  form=${3:-$(pvl_windows_form)}
  mkdir -p "$home" "$state/bin"
  # wine, and wine-stable that wineboot and winepath start, on the 64-bit loader.
  for name in wine wine-stable; do
    rm -f "$state/bin/$name"
    printf '#!/bin/sh\nWINELOADER=/usr/lib/wine/wine64 exec /usr/lib/wine/wine64 "$@"\n' >"$state/bin/$name"
    chmod +x "$state/bin/$name"
  done
  # A prefix is made for one form; a prefix of the other form is made anew.
  if [ -f "$prefix/.pvl-ready" ] && [ "$(cat "$prefix/.pvl-ready")" != "$form" ]; then
    rm -rf "$prefix"
  fi
  # ALSA reads ~/.asoundrc of the private HOME; the player asks for the null device only without a sound card.
  if [ -n "${PVL_REAL_AUDIO:-}" ]; then rm -f "$home/.asoundrc"; else printf 'pcm.!default { type null }\n' > "$home/.asoundrc"; fi
  display=${PVL_DISPLAY:-}
  if [ -z "$display" ]; then
    # -displayfd picks a free display number, so parallel runs never collide. Wine keeps some
    # renderer threads for ever, and a whole run here once met the default limit of 256 clients
    # on the one server it shares.
    exec 7> "$state/displayfd"
    Xvfb -displayfd 7 -maxclients 2048 -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    for _ in $(seq 100); do [ -s "$state/displayfd" ] && break; sleep 0.1; done
    exec 7>&-
    display=":$(tr -d '\n' < "$state/displayfd")"
    [ "$display" != ":" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
  fi
  eval "$(wine_env "$display")"
  if [ ! -f "$prefix/.pvl-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Programs ask for Arial; Liberation Sans has the same metrics.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
    wineserver -w
    echo "$form" > "$prefix/.pvl-ready"
  fi
  # Keep one wineserver for the whole run: every test process then starts in about a second.
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's services and desktop now, detached from any caller's output.
  wineboot >/dev/null 2>&1 </dev/null || true
  wine_env "$display" > "$state/env.sh"
  ;;
stop)
  if [ -f "$state/env.sh" ]; then
    # shellcheck disable=SC1091
    . "$state/env.sh"; wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; rm -f "$state/xvfb.pid"; fi
  rm -f "$state/env.sh"
  ;;
esac
