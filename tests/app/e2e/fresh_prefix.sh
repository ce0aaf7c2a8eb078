#!/usr/bin/env bash
# Runs the real Velmora.exe in a Wine prefix made for this run alone (so the Flash control has
# never been installed there), with the shipped sample collection beside it, and lets
# velmora_e2e.exe drive it and check what it leaves behind.
# Usage: fresh_prefix.sh win32|win64 VELMORA.EXE VELMORA_E2E.EXE SAMPLES-FOLDER WORK-FOLDER
set -euo pipefail
build=$1 velmora=$2 driver=$3 samples=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)

prefix="$work/prefix-$build"
rm -rf "$prefix"
source "$here/../../../scripts/wine-env.sh" "$build" "$prefix"
unset DISPLAY
wine_prepare_prefix
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
trap wine_stop_server EXIT
wine_start_server

# The program folder: C:\Velmora with the executable and its collection.
program="$prefix/drive_c/Velmora"
mkdir -p "$program"
cp "$velmora" "$program/Velmora.exe"
cp -r "$samples" "$program/VidudIvu"
cp "$driver" "$program/velmora_e2e.exe"

wine 'C:\Velmora\velmora_e2e.exe' 'C:\Velmora\Velmora.exe' 'C:\Velmora\VidudIvu\Animations\Bouncing Ball.swf' \
  </dev/null 2>/dev/null | tr -d '\r'
status=${PIPESTATUS[0]}
exit "$status"
