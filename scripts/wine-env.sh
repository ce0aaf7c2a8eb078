# Sourced by the scripts that run Windows programs: one Wine prefix for one Windows build.
# Usage: source scripts/wine-env.sh win32|win64 PREFIX-FOLDER
#
# win32 runs the i686 build in a 32-bit prefix; win64 runs the x86_64 build in a 64-bit
# prefix with Wine's 64-bit loader called directly (the `wine` wrapper always takes the
# 32-bit loader when it is installed, even on hosts whose kernel refuses 32-bit processes).
# `wine` below is a function that calls the build's own loader.
velmora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "$1" in
  win32) export WINEARCH=win32; unset WINELOADER; WINE_LOADER=/usr/lib/wine/wine ;;
  win64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64; WINE_LOADER=/usr/lib/wine/wine64 ;;
  *) echo "wine-env.sh: first argument must be win32 or win64, not '$1'" >&2; return 2 ;;
esac
WINE_BUILD=$1
export WINEDEBUG=-all WINEPREFIX="$2"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine() { "$WINE_LOADER" "$@"; }

# Where the build's files are: build/win32 or build/win64, and the name users know them by.
wine_build_dir() { echo "$velmora_root/build/$WINE_BUILD"; }
wine_build_name() { [ "$WINE_BUILD" = win32 ] && echo i686 || echo x86_64; }

# Creates the prefix once. Fails with a message on standard error (and status 1) when Wine
# is missing or cannot make the prefix.
wine_prepare_prefix() {
  if [ ! -x "$WINE_LOADER" ]; then
    echo "Wine's $(wine_build_name) loader $WINE_LOADER is not installed (run scripts/setup.sh)" >&2
    return 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    local rc=0
    timeout 300 "$WINE_LOADER" wineboot -i >/dev/null 2>&1 </dev/null || rc=$?
    wineserver -w >/dev/null 2>&1 || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "could not create the $WINEARCH Wine prefix $WINEPREFIX (wineboot exit status $rc)" >&2
      return 1
    fi
  fi
}

# Starts a persistent wineserver and Wine's own services with their output detached, so
# that runners waiting for the end of a pipe (ctest) do not wait for those services.
wine_start_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_stop_server() { wineserver -k >/dev/null 2>&1 || true; }

# Can this host run 32-bit Windows programs? Starts a tiny i686 program under the 32-bit
# loader in the current (win32) prefix, creating the prefix if needed, and looks at what it
# printed: no guess from the kernel or the packages. On failure the reason is left in
# wine_probe_reason. VELMORA_WIN64_ONLY=1 answers no without trying, so that the 64-bit-only
# path can be exercised on any host.
wine_probe_32bit() {
  wine_probe_reason=""
  if [ "${VELMORA_WIN64_ONLY:-0}" = 1 ]; then
    wine_probe_reason="VELMORA_WIN64_ONLY=1 asks for the 64-bit build only"; return 1
  fi
  if [ ! -x /usr/lib/wine/wine ]; then
    wine_probe_reason="Wine's 32-bit loader (package wine32:i386) is not installed"; return 1
  fi
  local probe="$velmora_root/build/wine-probe/probe32.exe"
  if [ ! -f "$probe" ] || [ "$velmora_root/scripts/wine-probe.c" -nt "$probe" ]; then
    mkdir -p "$(dirname "$probe")"
    if ! i686-w64-mingw32-gcc -O2 -s -static -o "$probe" "$velmora_root/scripts/wine-probe.c" 2>/dev/null; then
      wine_probe_reason="the probe program could not be compiled (i686-w64-mingw32-gcc)"; return 1
    fi
  fi
  mkdir -p "$WINEPREFIX"
  local out rc=0
  # Windows programs end their lines with CR LF.
  out=$(WINEARCH=win32 timeout 300 /usr/lib/wine/wine "$probe" 2>/dev/null </dev/null | tr -d '\r'; exit "${PIPESTATUS[0]}") || rc=$?
  wineserver -w >/dev/null 2>&1 || true
  if [ "$rc" -eq 0 ] && [ "$out" = velmora-wine-probe ]; then return 0; fi
  case "$rc" in
    126) wine_probe_reason="this kernel refuses 32-bit processes (Wine's 32-bit loader: exec format error, status 126)" ;;
    124) wine_probe_reason="a 32-bit program under Wine did not finish within 300 s" ;;
    *) wine_probe_reason="a 32-bit program under Wine ended with status $rc and printed '${out:0:60}'" ;;
  esac
  return 1
}
