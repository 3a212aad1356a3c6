#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs one test executable under the run's Wine session.
# Output goes through a file: Wine's helper processes (services, the desktop) started by a
# test inherit its descriptors and would hold a pipe open long after the test has ended.
dir=${PVL_WINE_DIR:?PVL_WINE_DIR names the Wine session folder}
if [ ! -f "$dir/session/env.sh" ]; then
  echo "no Wine session in $dir: run scripts/wine-session.sh start $dir first (scripts/test.sh does)" >&2
  exit 2
fi
# shellcheck disable=SC1091
. "$dir/session/env.sh"
log=$(mktemp "$dir/session/run.XXXXXX")
wine "$@" >"$log" 2>&1 </dev/null
rc=$?
grep -v -E '^ALSA lib|^$' "$log"
rm -f "$log"
exit $rc
