#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both trees, runs the native tests,
# a short fuzzing pass, and the Windows tests under Wine (fresh prefix, null display driver).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1
bash scripts/build.sh all || exit 1

status=0
summary=()
run_ctest() { # label dir args...
  local label=$1 dir=$2; shift 2
  local log="$root/build/ctest-$label.log"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  [ "$rc" -eq 0 ] || status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  summary+=("$label: ${line:-no summary (ctest exit $rc)}")
  local total failed
  total=$(sed -nE 's/.*failed out of ([0-9]+).*/\1/p' <<<"$line")
  failed=$(sed -nE 's/.* ([0-9]+) tests failed out of.*/\1/p' <<<"$line")
  all_total=$(( all_total + ${total:-0} )); all_failed=$(( all_failed + ${failed:-0} ))
}
all_total=0; all_failed=0

echo "=== native tests ==="
run_ctest native build/native

if [ -f fuzz/CMakeLists.txt ]; then
  echo "=== fuzzing (short run) ==="
  bash scripts/fuzz.sh smoke || { status=1; summary+=("fuzz: FAILED"); }
fi

echo "=== Windows tests under Wine ==="
prefix="$root/build/wine-test-prefix"
rm -rf "$prefix"
source scripts/wine-env.sh "$prefix"
unset DISPLAY
wine_prepare_prefix
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine_start_server
run_ctest windows build/win --timeout 300
wine_stop_server

echo "=== summary ==="
printf '%s\n' "${summary[@]}"
echo "$(( all_total - all_failed )) passed, $all_failed failed"
exit $status
