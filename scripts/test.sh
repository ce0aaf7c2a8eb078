#!/usr/bin/env bash
# Runs every test: installs what is missing, builds every tree (native, i686 and x86_64
# Windows), runs the native tests, a short fuzzing pass, and the Windows tests under Wine
# (fresh prefixes, null display driver): those of the i686 build where this host can run
# 32-bit programs, those of the x86_64 build always.
# VELMORA_WIN64_ONLY=1 tests the x86_64 build alone, as on a host that refuses 32-bit programs.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }
bash scripts/build.sh all || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

status=0
summary=()
all_total=0; all_failed=0

# A stage that could not run counts as one failed test, with its reason in the summary.
stage_failed() { # label reason
  summary+=("$1: FAILED, $2")
  all_failed=$(( all_failed + 1 )); all_total=$(( all_total + 1 )); status=1
}

run_ctest() { # label dir args...
  local label=$1 dir=$2; shift 2
  local log="$root/build/ctest-$label.log"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    local why
    why=$(grep -m1 -E 'Error running test executable|No tests were found|Could not find' "$log")
    stage_failed "$label" "ctest ran no test (exit $rc)${why:+: $why}"
    return
  fi
  [ "$rc" -eq 0 ] || status=1
  summary+=("$label: $line")
  local total failed
  total=$(sed -nE 's/.*failed out of ([0-9]+).*/\1/p' <<<"$line")
  failed=$(sed -nE 's/.* ([0-9]+) tests failed out of.*/\1/p' <<<"$line")
  all_total=$(( all_total + total )); all_failed=$(( all_failed + failed ))
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then stage_failed "$label" "ctest exit $rc"; fi
}

# The Windows tests of one build in a fresh prefix of its own.
run_windows_tests() { # win32|win64
  local build=$1
  source scripts/wine-env.sh "$build" "$root/build/wine-test-$build"
  local label="windows $(wine_build_name)"
  if [ "$build" = win64 ]; then rm -rf "$WINEPREFIX"; fi  # win32's was made by the probe
  local why
  if ! why=$(wine_prepare_prefix 2>&1); then stage_failed "$label" "$why"; return; fi
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wine_start_server
  run_ctest "$label" "build/$build" --timeout 300
  wine_stop_server
}

echo "=== native tests ==="
run_ctest native build/native

if [ -f fuzz/CMakeLists.txt ]; then
  echo "=== fuzzing (short run) ==="
  if bash scripts/fuzz.sh smoke; then summary+=("fuzz: smoke run clean")
  else stage_failed fuzz "a fuzz target found a crash, leak or timeout (see above)"; fi
fi

unset DISPLAY
source scripts/wine-env.sh win32 "$root/build/wine-test-win32"
rm -rf "$WINEPREFIX"
if wine_probe_32bit; then
  builds_line="Windows builds: i686 and x86_64 tested (both built)"
  echo "=== Windows tests under Wine: i686 build ==="
  run_windows_tests win32
else
  builds_line="Windows builds: x86_64 tested; i686 built but not run here: $wine_probe_reason"
  wine_stop_server
  rm -rf "$WINEPREFIX"
fi
echo "=== Windows tests under Wine: x86_64 build ==="
run_windows_tests win64

echo "=== summary ==="
printf '%s\n' "${summary[@]}"
echo "$builds_line"
findings="$root/build/fuzz/fuzz-findings.txt"
if [ -s "$findings" ]; then cat "$findings"; fi
echo "$(( all_total - all_failed )) passed, $all_failed failed"
exit $status
