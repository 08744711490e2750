#!/bin/bash
# usage: scripts/wine-tests.sh [BUILD_DIR] [-- CTEST_ARGS...]
# Runs the ctest suite of a Windows build (default build/mingw-x64) under Wine
# on a private Xvfb display. The Wine prefix lives in BUILD_DIR/wine and is
# created on first use. Everything started here (Xvfb, wineserver and the
# programs under test) is stopped before the script returns, also when a test
# fails: a leftover process holding CI's output open keeps the job running.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
  build=$(cd "$1" && pwd)
  shift
fi
[ "${1:-}" = "--" ] && shift

if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "wine-tests: no configured build in $build (run: make test)" >&2
  exit 2
fi

export WINEPREFIX=$build/wine
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko download prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINESERVER WINELOADER

tmp=$(mktemp -d)
xvfb_pid=""
ctest_pid=""
wine_up=""

make_prefix() {
  timeout 300 wineboot -i
  timeout 120 wineserver -w
  # A crash must end the process (exit code 5) instead of opening winedbg's
  # dialog, which nobody closes under Xvfb.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  # Without a window manager, hiding or destroying a managed window stalls ~2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  # A fresh prefix has no association for .txt; the shell-execute tests use it.
  wine reg add 'HKCR\.txt' /ve /d txtfile /f
  # The registry reaches the prefix's files only when wineserver exits.
  timeout 120 wineserver -w
}

cleanup() {
  local rc=$?
  set +e
  if [ -n "$ctest_pid" ]; then
    kill "$ctest_pid" 2>/dev/null
    wait "$ctest_pid" 2>/dev/null
  fi
  if [ -n "$wine_up" ]; then
    # Ends every process of this prefix, the tests' own children included.
    wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Two runs sharing one prefix would kill each other's wineserver.
exec 9>"$build/.wine-tests.lock"
if ! flock -n 9; then
  echo "wine-tests: waiting for another Wine test run on $build"
  flock 9
fi

# Xvfb picks a free display itself and writes its number once it accepts
# connections.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" 9>&- </dev/null >/dev/null 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    xvfb_pid=""
    echo "wine-tests: Xvfb did not start:" >&2
    cat "$tmp/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "wine-tests: Xvfb gave no display number within 10 s" >&2
  exit 1
fi
export DISPLAY=:$(head -n 1 "$tmp/display")
echo "wine-tests: Xvfb on $DISPLAY, prefix $WINEPREFIX"

wine_up=1
ready=$WINEPREFIX/.dorvane-prefix-ready
if [ ! -f "$ready" ]; then
  # A half-made prefix (an interrupted first run) is thrown away.
  rm -rf "$WINEPREFIX"
  echo "wine-tests: creating the Wine prefix"
  # Wine's own chatter goes to a log: the services wineboot starts would
  # otherwise hold our stdout open.
  set +e
  (set -e; make_prefix) </dev/null >"$tmp/prefix.log" 2>&1 9>&-
  made=$?
  set -e
  if [ "$made" -ne 0 ]; then
    echo "wine-tests: creating the Wine prefix failed:" >&2
    cat "$tmp/prefix.log" >&2
    exit 1
  fi
  touch "$ready"
fi

# Keep one wineserver for the whole run instead of one per executable.
wineserver -p </dev/null >/dev/null 2>&1 9>&-

# In the background so that a signal reaches the trap at once instead of
# after ctest returns.
ctest --test-dir "$build" --output-on-failure --no-tests=error "$@" 9>&- &
ctest_pid=$!
set +e
wait "$ctest_pid"
rc=$?
set -e
ctest_pid=""
exit "$rc"
