#!/usr/bin/env bash
# Runs Velmora under Wine on the shipped sample collection (build/win/app/VidudIvu).
# With a display (DISPLAY set) it opens the real window there and returns when it is closed.
# Without one it starts a virtual X display, waits for the catalogue window to appear, saves
# a screenshot of it, prints the screenshot's path and ends Wine.
# Usage: scripts/run.sh [movie.swf]    (the optional argument is passed on to Velmora.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh windows

exe="$root/build/win/app/Velmora.exe"
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

source scripts/wine-env.sh "${VELMORA_WINEPREFIX:-$root/build/wineprefix-run}"
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  # Pick a display number nobody holds (the lock file is how X servers claim one).
  for n in $(seq 90 190); do [ -e "/tmp/.X$n-lock" ] || { display=:$n; break; }; done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'wine_stop_server; kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
fi
wine_prepare_prefix
# A real display driver, and frames drawn by Wine itself so that a screenshot of the window
# shows what the program draws (see docs/notes.md on decorated windows).
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

if [ "$headless" -eq 0 ]; then
  exec wine "$exe" "$@"
fi

wine_start_server
wine "$exe" "$@" </dev/null >/dev/null 2>&1 &

# The catalogue window is the top-level X window titled "Velmora"; wait until it is mapped
# and painted with its full size (a few seconds at most once Wine runs).
window=""
for _ in $(seq 300); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velmora": \(/ && $0 ~ /[0-9]+x[0-9]+\+/ { print $1; exit }')
  if [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'; then break; fi
  window=""
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "run: the catalogue window did not appear within 30 s" >&2
  exit 1
fi
sleep 1  # let the first paint land; the window exists, this only waits for its pixels

shot="$root/build/velmora-catalogue.png"
rm -f "$shot"
import -window "$window" "$shot"
echo "Screenshot of the catalogue window: $shot"
