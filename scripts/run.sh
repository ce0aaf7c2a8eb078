#!/usr/bin/env bash
# Runs Velmora under Wine on the shipped sample collection. With a display (DISPLAY set) it
# opens a real window there; without one it starts a virtual display, waits for the
# catalogue window, saves a screenshot of it and prints the screenshot's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh all

source scripts/wine-env.sh "${VELMORA_WINEPREFIX:-$root/.cache/wineprefix-run}"
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  display=:$(( 90 + RANDOM % 100 ))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
wine_prepare_prefix
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true

exe="$root/build/win/app/Velmora.exe"
if [ "$headless" -eq 0 ]; then
  exec wine "$exe" "$@"
fi

shot="$root/build/velmora-catalogue.png"
rm -f "$shot"
wine "$exe" --screenshot "$(winepath -w "$shot")" "$@" </dev/null >/dev/null 2>&1 || true
wine_stop_server
if [ -f "$shot" ]; then
  echo "Screenshot of the catalogue window: $shot"
else
  echo "run: no screenshot was written" >&2
  exit 1
fi
