#!/usr/bin/env bash
# Runs Velmora under Wine on the shipped sample collection (VidudIvu beside the executable).
# The i686 build (the product) runs where this host can run 32-bit Windows programs; the
# x86_64 build runs elsewhere (or with VELMORA_WIN64_ONLY=1).
# With a display (DISPLAY set) it opens the real window there and returns when it is closed.
# Without one it starts a virtual X display, waits for the catalogue window to appear (or,
# with a movie, for its playback window), saves a screenshot of it, prints the screenshot's
# path and ends Wine.
# Usage: scripts/run.sh [MOVIE.swf]
#   MOVIE.swf: a Linux path (relative or absolute, translated for Wine) or a Windows path;
#   Velmora plays it in its playback window, as when a movie is opened with it.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "run: $*" >&2; exit 1; }

bash scripts/setup.sh || fail "installing the packages failed (see the messages above)"
bash scripts/build.sh windows || fail "the build failed (see the compiler messages above)"
command -v wineserver >/dev/null || fail "Wine is not installed (scripts/setup.sh installs it)"

log="$root/build/run-wine.log"
# A run without a display takes a screenshot in prefixes of its own, so the prefixes of
# interactive runs keep their first-start experience (the support dialog) for the user.
kind=run
[ -z "${DISPLAY:-}" ] && kind=shot
source scripts/wine-env.sh win32 "${VELMORA_WINEPREFIX:-$root/build/wineprefix-$kind}"
if ! wine_probe_32bit; then
  echo "run: running the x86_64 build: $wine_probe_reason"
  wine_stop_server
  source scripts/wine-env.sh win64 "${VELMORA_WINEPREFIX64:-$root/build/wineprefix-${kind}64}"
fi
# Wine's own error messages go to the log, so that a failed start can be explained.
export WINEDEBUG=fixme-all
exe="$(wine_build_dir)/app/Velmora.exe"
[ -f "$exe" ] || fail "$exe was not built"
echo "run: $(wine_build_name) build, $exe"

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  command -v Xvfb >/dev/null || fail "no display and no Xvfb (scripts/setup.sh installs it)"
  # Pick a display number nobody holds (the lock file is how X servers claim one).
  for n in $(seq 90 190); do [ -e "/tmp/.X$n-lock" ] || { display=:$n; break; }; done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'wine_stop_server; kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
  xwininfo -root >/dev/null 2>&1 || fail "the virtual display $display did not start (Xvfb)"
fi
wine_prepare_prefix || fail "Wine could not prepare its prefix $WINEPREFIX"

# A movie given as a Linux path reaches Velmora as the Windows path Wine maps it to.
args=()
for arg in "$@"; do
  if [ -e "$arg" ]; then
    [ -f "$arg" ] || fail "$arg is not a file"
    windows_path=$(wine winepath -w "$(realpath "$arg")" 2>/dev/null | tr -d '\r')
    [ -n "$windows_path" ] || fail "Wine could not translate the path $arg"
    args+=("$windows_path")
  elif [[ "$arg" == */* ]]; then
    fail "no such movie: $arg"
  else
    args+=("$arg")
  fi
done
# A real display driver, and frames drawn by Wine itself so that a screenshot of the window
# shows what the program draws (see docs/notes.md on decorated windows).
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 \
  || fail "Wine could not write to the registry of $WINEPREFIX"
# The screenshot is of the catalogue window: the support dialog that a first start shows
# before it is turned off in this prefix (as its check box would).
[ "$headless" -eq 1 ] && wine reg add 'HKCU\Orvane\Support' /v 45 /d 0 /f >/dev/null 2>&1

if [ "$headless" -eq 0 ]; then
  wine "$exe" "${args[@]}" 2> >(tee "$log" >&2)
  rc=$?
  [ "$rc" -eq 0 ] || fail "Velmora.exe under Wine ended with status $rc; Wine's messages are in $log"
  exit 0
fi

wine_start_server
wine "$exe" "${args[@]}" </dev/null >"$log" 2>&1 &
wine_pid=$!

# The catalogue window is the top-level X window titled "Velmora", the playback window of a
# movie the one titled "Play - <movie>"; wait until it is mapped and painted with its full
# size (a few seconds at most once Wine runs).
title='"Velmora": \('
name=catalogue
if [ "${#args[@]}" -gt 0 ]; then
  title='"Play - '
  name=playback
fi
window=""
for _ in $(seq 300); do
  window=$(xwininfo -root -tree 2>/dev/null | awk -v title="$title" 'index($0, title) && $0 ~ /[0-9]+x[0-9]+\+/ { print $1; exit }')
  if [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'; then break; fi
  window=""
  if ! kill -0 "$wine_pid" 2>/dev/null; then
    wait "$wine_pid"; rc=$?
    fail "Velmora.exe ended (status $rc) before its window appeared; Wine's messages are in $log"
  fi
  sleep 0.1
done
[ -n "$window" ] || fail "the $name window did not appear within 30 s; Wine's messages are in $log"
sleep 1  # let the first paint land (and a movie play a few frames); this only waits for pixels

shot="$root/build/velmora-$name.png"
rm -f "$shot"
import -window "$window" "$shot" || fail "ImageMagick's import could not capture window $window"
echo "Screenshot of the $name window: $shot"
