#!/usr/bin/env bash
# Configures and builds both trees: build/native (host compiler) and build/win (mingw i686).
# Usage: scripts/build.sh [native|windows|all]   (default all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
cache="${VELMORA_CACHE:-$root/.cache}"
jobs=${VELMORA_JOBS:-$(nproc)}

configure() { # dir extra-args...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -Wno-dev -DVELMORA_CACHE="$cache" "$@" >/dev/null
  fi
}

if [ "$what" = native ] || [ "$what" = all ]; then
  configure "$root/build/native"
  cmake --build "$root/build/native" -j "$jobs"
fi
if [ "$what" = windows ] || [ "$what" = all ]; then
  configure "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake"
  cmake --build "$root/build/win" -j "$jobs"
fi
