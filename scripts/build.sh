#!/usr/bin/env bash
# Configures and builds the trees: build/native (host compiler), build/win32 (mingw i686, the
# product) and build/win64 (mingw x86_64, for hosts whose Wine can run only 64-bit programs).
# Usage: scripts/build.sh [native|win32|win64|windows|all]   (default all; windows = both)
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

build_native() {
  configure "$root/build/native"
  cmake --build "$root/build/native" -j "$jobs"
}
build_windows() { # win32|win64
  local toolchain=mingw32
  [ "$1" = win64 ] && toolchain=mingw64
  configure "$root/build/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake"
  cmake --build "$root/build/$1" -j "$jobs"
}

case "$what" in
  native) build_native ;;
  win32|win64) build_windows "$what" ;;
  windows) build_windows win32; build_windows win64 ;;
  all) build_native; build_windows win32; build_windows win64 ;;
  *) echo "usage: scripts/build.sh [native|win32|win64|windows|all]" >&2; exit 2 ;;
esac
