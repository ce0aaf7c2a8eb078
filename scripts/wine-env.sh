# Sourced by the scripts that run Windows programs: one Wine prefix, 32-bit, quiet.
# Usage: source scripts/wine-env.sh PREFIX-FOLDER
export WINEARCH=win32 WINEDEBUG=-all WINEPREFIX="$1"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Creates the prefix once; Graphics=null lets windows exist without an X server.
wine_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
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
