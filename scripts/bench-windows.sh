#!/usr/bin/env bash
# Builds and runs Windows benchmarks under Wine (null display driver, a prefix of their own) on
# the build this host can run: i686 where it runs 32-bit programs, x86_64 otherwise (or with
# VELMORA_WIN64_ONLY=1). Each prints its figures as ratios against a baseline of the same run.
# Usage: scripts/bench-windows.sh [BENCHMARK...]   (default: every Windows benchmark)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
declare -A path_of=(
  [catalogue_bench]=app/bench/catalogue_bench.exe
  [grid_bench]=tests/grid/grid_bench.exe
  [framework_bench]=tests/framework/framework_bench.exe
  [flashhost_bench]=tests/flashhost/flashhost_bench.exe
  [playback_bench]=tests/player/playback_bench.exe
  [playback_chain_bench]=app/bench/playback_chain_bench.exe
)
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(catalogue_bench grid_bench framework_bench flashhost_bench playback_bench playback_chain_bench)
for b in "${benches[@]}"; do
  [ -n "${path_of[$b]:-}" ] || { echo "bench: no benchmark '$b' (have: ${!path_of[*]})" >&2; exit 2; }
done

bash scripts/setup.sh >/dev/null || exit 1
source scripts/wine-env.sh win32 "$root/build/wine-bench-win32"
if ! wine_probe_32bit; then
  echo "bench: x86_64 build ($wine_probe_reason)"
  wine_stop_server
  source scripts/wine-env.sh win64 "$root/build/wine-bench-win64"
else
  echo "bench: i686 build"
fi
dir=$(wine_build_dir)
if [ ! -f "$dir/build.ninja" ]; then bash scripts/build.sh "$WINE_BUILD" || exit 1; fi
cmake --build "$dir" --target "${benches[@]}" -j "${VELMORA_JOBS:-2}" >/dev/null || exit 1

unset DISPLAY
wine_prepare_prefix || exit 1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine_start_server
trap wine_stop_server EXIT
status=0
for b in "${benches[@]}"; do
  echo "=== $b ($(wine_build_name)) ==="
  wine "$dir/${path_of[$b]}" || { echo "bench: $b failed (status $?)" >&2; status=1; }
done
exit $status
