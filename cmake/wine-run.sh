#!/bin/sh
# Runs a Windows test executable under Wine: wine-run.sh win32|win64 program [args...].
# Each build names its own loader, so a tree is never run by the other build's Wine; the
# 64-bit loader is called directly because the `wine` wrapper prefers the 32-bit one.
# The test script made $WINEPREFIX and started the wineserver before CTest runs.
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
case "$1" in
  win32) export WINEARCH=win32; loader=/usr/lib/wine/wine ;;
  win64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64; loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run.sh: first argument must be win32 or win64" >&2; exit 2 ;;
esac
shift
exec "$loader" "$@"
