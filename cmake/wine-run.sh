#!/bin/sh
# Runs a Windows test executable under Wine. The test script made $WINEPREFIX and
# started the wineserver before CTest runs.
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
