#!/usr/bin/env bash
# Sets everything up and runs every test: the native build under the sanitizers, and the
# Windows program built in both forms (32-bit and 64-bit), whose tests run under Wine in the
# form this machine runs (one Xvfb and one Wine prefix for the whole run).
# Ends with "N passed (M after a retry: names), N failed; S skipped: names" (the retry and the
# skipped part only when there are some); exits non-zero on any failure or build error.
#   scripts/test.sh [ctest -R regex]
#   PVL_WINDOWS_FORM=win32|win64 picks the form whose tests run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PVL_BUILD_DIR:-$root/build}
jobs=${PVL_JOBS:-$(nproc 2>/dev/null || echo 2)}
filter=${1:-}

# shellcheck source=forms.sh
. "$root/scripts/forms.sh"
form=$(pvl_windows_form) || { echo "0 passed, 1 failed (form)"; exit 1; }

"$root/scripts/setup.sh" || { echo "0 passed, 1 failed (setup)"; exit 1; }
for f in win32 win64; do
  "$root/scripts/build-libjpeg.sh" "$f" >/dev/null || { echo "0 passed, 1 failed (libjpeg $f)"; exit 1; }
done
"$root/scripts/make-fixtures.sh" "$build/fixtures" >/dev/null || { echo "0 passed, 1 failed (fixtures)"; exit 1; }

passed=0; failed=0
configure_and_build() {  # <dir> <cmake args...>
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DPVL_FIXTURES_DIR="$build/fixtures" "$@" >"$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs" 2>&1 | grep -E 'error|warning: unused|FAILED' | head -n 60
  return "${PIPESTATUS[0]}"
}
retried=0; retried_names=()
ctest_counts() {  # <log>: prints "total fails" of ctest's summary, nothing when there is none
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  [ -n "$summary" ] || return 0
  echo "$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary") $(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")"
}
skipped=()
run_ctest() {  # <dir> [ctest arguments...]
  local dir=$1; shift
  local log; log=$(mktemp)
  # Every test program leaves a report of its own, where the tests it skipped are named.
  rm -rf "$dir/test-reports"; mkdir -p "$dir/test-reports"
  ( cd "$dir" && GTEST_OUTPUT="xml:$dir/test-reports/" ctest --output-on-failure -j "$jobs" ${filter:+-R "$filter"} "$@" ) 2>&1 | tee "$log"
  local counts total fails
  counts=$(ctest_counts "$log")
  if [ -n "$counts" ]; then
    read -r total fails <<<"$counts"
    passed=$((passed + total - fails)); failed=$((failed + fails))
    # One more try only for a test labelled with a known platform flake; it is counted apart.
    if [ "$fails" -gt 0 ]; then
      local flaky again
      flaky=$( (cd "$dir" && ctest -N -L platform_flake) | sed -nE 's/^ *Test +#[0-9]+: ([^ ]+).*/\1/p')
      again=$(sed -nE 's/^[[:space:]]+[0-9]+ - ([^ ]+) \(.*/\1/p' "$log" | grep -xF "$flaky" | paste -sd'|')
      if [ -n "$again" ] && [ -n "$flaky" ]; then
        echo "== a second run of: ${again//|/, }"
        ( cd "$dir" && ctest --output-on-failure -R "^($again)\$" ) 2>&1 | tee "$log"
        counts=$(ctest_counts "$log")
        if [ -n "$counts" ]; then
          read -r total fails <<<"$counts"
          passed=$((passed + total - fails)); failed=$((failed - total + fails)); retried=$((retried + total - fails))
          local failed_again name
          failed_again=$(sed -nE 's/^[[:space:]]+[0-9]+ - ([^ ]+) \(.*/\1/p' "$log")
          for name in ${again//|/ }; do
            grep -qxF "$name" <<<"$failed_again" || retried_names+=("$name")
          done
        fi
      fi
    fi
  elif ! grep -q 'No tests were found' "$log"; then
    failed=$((failed + 1))
  fi
  local name
  while read -r name; do
    [ -n "$name" ] && skipped+=("$name")
  done < <(cat "$dir"/test-reports/*.xml 2>/dev/null | grep -E '<testcase [^>]*result="skipped"' |
           sed -E 's/.*<testcase name="([^"]*)".*classname="([^"]*)".*/\2.\1/')
  rm -f "$log"
}

mkdir -p "$build"
echo "== native build (AddressSanitizer, UBSan)"
if configure_and_build "$build/native" -DCMAKE_BUILD_TYPE=Debug -DPVL_SANITIZE=ON; then
  run_ctest "$build/native"
else
  echo "native build failed"; failed=$((failed + 1))
fi

# Both forms build, so neither can break unseen; the tests run in one.
for f in win32 win64; do
  echo "== Windows build, $f form ($( [ "$f" = win32 ] && echo i686 || echo x86_64 )-w64-mingw32)"
  if ! configure_and_build "$build/$f" -DCMAKE_TOOLCHAIN_FILE="$(pvl_toolchain "$root" "$f")" -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
    echo "Windows build ($f) failed"; failed=$((failed + 1))
    [ "$f" = "$form" ] && form=
  fi
done

if [ -n "$form" ]; then
  if [ "$form" = win32 ]; then
    echo "== Windows tests under Wine, 32-bit form"
  else
    echo "== Windows tests under Wine, 64-bit form$(pvl_runs_32bit || echo ' (this machine cannot run 32-bit programs)')"
  fi
  if "$root/scripts/wine-session.sh" start "$build/$form/wine" "$form"; then
    run_ctest "$build/$form"
  else
    echo "Wine session did not start"; failed=$((failed + 1))
  fi
  "$root/scripts/wine-session.sh" stop "$build/$form/wine"
fi

summary="$passed passed"
[ "$retried" -gt 0 ] && summary+=" ($retried after a retry: $(IFS=,; echo "${retried_names[*]}" | sed 's/,/, /g'))"
summary+=", $failed failed"
[ "${#skipped[@]}" -gt 0 ] && summary+="; ${#skipped[@]} skipped: $(IFS=,; echo "${skipped[*]}" | sed 's/,/, /g')"
echo "$summary"
[ "$failed" = 0 ]
