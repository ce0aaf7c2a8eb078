#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: when everything is present it only checks and returns in a second or two.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="${VELMORA_CACHE:-$root/.cache}"

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  googletest libgtest-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  mingw-w64-tools
  wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick dpkg-dev nasm python3
  fonts-dejavu-core
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# A mirror caught mid-sync refuses one index or another for a while ("File has unexpected
# size"). Try again a few times; if some index still fails, go on with the ones that came:
# the install that follows says clearly if a package we need is really out of reach.
refresh_package_lists() {
  local attempt
  for attempt in 1 2 3; do
    as_root apt-get update -qq && return 0
    echo "setup: package lists incomplete (attempt $attempt of 3)" >&2
    sleep $(( attempt * 10 ))
  done
  echo "setup: going on with the package lists that did download" >&2
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  refresh_package_lists
  if ! DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # The i386 packages need i386 libraries of exactly the versions installed for amd64; when
    # a mirror lacks them for now, install the rest. Wine then runs only 64-bit programs, and
    # the test command says that it tested the x86_64 build alone, and why.
    native_only=()
    for p in "${missing[@]}"; do [[ "$p" == *:i386 ]] || native_only+=("$p"); done
    [ ${#native_only[@]} -lt ${#missing[@]} ] || exit 1
    echo "setup: the i386 packages cannot be installed now; installing the others" >&2
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${native_only[@]}" >/dev/null
  fi
fi

# libjpeg for mingw: Debian ships it only for Linux, so build it from Debian's own source
# package into an ignored cache folder, once for each Windows build (i686 and x86_64).
enable_source_packages() {
  if apt-get source --print-uris libjpeg-turbo 2>/dev/null | grep -qF .dsc; then return; fi
  # Enable source entries next to the configured binary ones (same mirrors).
  if [ -f /etc/apt/sources.list.d/debian.sources ] && ! grep -q 'deb-src' /etc/apt/sources.list.d/debian.sources; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
  fi
  refresh_package_lists
}

cross_build_libjpeg() { # arch toolchain-file
  local arch=$1 toolchain=$2
  local prefix="$cache/libjpeg-$arch"
  [ -f "$prefix/lib/libjpeg.a" ] && return
  echo "setup: cross-building libjpeg for $arch-w64-mingw32"
  enable_source_packages
  local src="$cache/src-$arch"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
  local dir
  dir=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  cmake -S "$dir" -B "$src/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev >/dev/null
  cmake --build "$src/build" >/dev/null
  cmake --install "$src/build" >/dev/null
  rm -rf "$src"
}
cross_build_libjpeg i686 "$root/cmake/mingw32.cmake"
cross_build_libjpeg x86_64 "$root/cmake/mingw64.cmake"
echo "setup: ready"
