#!/bin/sh
# Runs a Windows test executable under Wine: wine-run.sh win32|win64 program [args...].
# Each build names its own loader, so a tree is never run by the other build's Wine; the
# 64-bit loader is called directly because the `wine` wrapper prefers the 32-bit one.
# The test script made $WINEPREFIX and started the wineserver before CTest runs.
#
# Now and then (once in some thousands of starts, seen on the CI host, never here) the
# loader ends at once with a failure status and prints nothing: the program never ran.
# Every test program prints before it can fail, so a silent failure is that and is started
# once more, saying so. Likewise, rarely and only under load, a process crashed in Wine's
# teardown after googletest had reported every test passed: that is started once more too,
# saying so. Any other failure is the program's own and stands, as does a second crash.
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
case "$1" in
  win32) export WINEARCH=win32; loader=/usr/lib/wine/wine ;;
  win64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64; loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run.sh: first argument must be win32 or win64" >&2; exit 2 ;;
esac
shift
out=$(mktemp) && err=$(mktemp) || exit 2
trap 'rm -f "$out" "$err"' EXIT
"$loader" "$@" >"$out" 2>"$err"
rc=$?
passed_then_crashed() {
  grep -q '^\[  PASSED  \]' "$out" && ! grep -q '^\[  FAILED  \]' "$out"
}
if [ "$rc" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  echo "wine-run.sh: $1 ended with status $rc before printing anything; starting it once more" >&2
  "$loader" "$@" >"$out" 2>"$err"
  rc=$?
elif [ "$rc" -ne 0 ] && passed_then_crashed; then
  echo "wine-run.sh: $1 ended with status $rc after all its tests passed; starting it once more" >&2
  "$loader" "$@" >"$out" 2>"$err"
  rc=$?
fi
cat "$out"
cat "$err" >&2
exit "$rc"
