#!/usr/bin/env bash
# scripts/run.sh starts the player with a clip and returns within seconds of its close command.
#   RunScriptTest.sh <root> <build-folder> <form> <ClosePlayer.exe> <clip>
set -uo pipefail
root=$1 build=$2 form=$3 closer=$4 clip=$5
log=$(mktemp)
PVL_BUILD_DIR=$build PVL_WINDOWS_FORM=$form "$root/scripts/run.sh" "$clip" >"$log" 2>&1 &
runner=$!
env_file=$build/run/wine/session/env.sh
for _ in $(seq 600); do [ -f "$env_file" ] && break; kill -0 "$runner" 2>/dev/null || break; sleep 0.5; done
if [ ! -f "$env_file" ]; then
  echo "run.sh made no Wine session"; cat "$log"; kill "$runner" 2>/dev/null; exit 1
fi
# shellcheck disable=SC1090
( . "$env_file" && wine "$closer" 120000 ) 2>/dev/null | tr -d '\r'
sent=$(date +%s)
for _ in $(seq 60); do kill -0 "$runner" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$runner" 2>/dev/null; then
  echo "run.sh still running 30 s after the close command"
  cat "$log"; kill -- "$runner" 2>/dev/null; "$root/scripts/wine-session.sh" stop "$build/run/wine"; exit 1
fi
wait "$runner"; rc=$?
echo "run.sh returned $(( $(date +%s) - sent )) s after the close command (exit $rc)"
grep -q "starting Parvolux" "$log" || { echo "the player was not started"; cat "$log"; exit 1; }
[ "$rc" = 0 ] || { cat "$log"; exit 1; }
[ "$(( $(date +%s) - sent ))" -le 15 ] || exit 1
