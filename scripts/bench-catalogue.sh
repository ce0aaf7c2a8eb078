#!/usr/bin/env bash
# Builds and runs the catalogue benchmark under Wine (null display driver, its own prefix):
# GetFileList over a category of 10,000 movies against a bare enumeration with one size search
# per file, as a ratio measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh >/dev/null
if [ ! -f build/win/build.ninja ]; then bash scripts/build.sh windows; fi
cmake --build build/win --target catalogue_bench -j "${VELMORA_JOBS:-2}" >/dev/null

source scripts/wine-env.sh "$root/build/wine-bench-prefix"
unset DISPLAY
wine_prepare_prefix
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine_start_server
trap wine_stop_server EXIT
wine build/win/app/bench/catalogue_bench.exe
