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

tmp=$(mktemp -d)
ctest_pid=""
. "$root/scripts/wine-common.sh"

cleanup() {
  local rc=$?
  set +e
  if [ -n "$ctest_pid" ]; then
    kill "$ctest_pid" 2>/dev/null
    wait "$ctest_pid" 2>/dev/null
  fi
  wine_cleanup
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

if [ -z "$wine32_ok" ] && ! "$root/scripts/runs-32bit.sh" "$build/win32_tests.exe"; then
  # Nothing of this build can run here: ctest reports its Windows tests as
  # skipped (cmake/wine-run.sh), the rest (the import check) still runs.
  echo "SKIPPED: $wine32_skip_reason: the Windows tests of $build"
else
  start_xvfb 1280x800x24
  echo "wine-tests: Xvfb on $DISPLAY, prefix $WINEPREFIX"
  ensure_prefix
  # Keep one wineserver for the whole run instead of one per executable.
  wineserver -p </dev/null >/dev/null 2>&1 9>&-
fi

# In the background so that a signal reaches the trap at once instead of
# after ctest returns.
ctest --test-dir "$build" --output-on-failure --no-tests=error "$@" 9>&- &
ctest_pid=$!
set +e
wait "$ctest_pid"
rc=$?
set -e
ctest_pid=""
[ "$rc" -eq 0 ] || exit "$rc"

# The DPI tests once more where the system itself runs at 125 and 150 %: a
# prefix of each (made once), and only those tests, so that this costs
# seconds, not another run of the suite.
if [ -z "${DORVANE_NO_DPI_TESTS:-}" ] && [ $# -eq 0 ]; then
  for dpi in 120 144; do
    wineserver -k 2>/dev/null 9>&-
    timeout 30 wineserver -w 2>/dev/null 9>&-
    use_dpi_prefix "$dpi"
    ensure_prefix
    set_prefix_dpi "$dpi"
    SECONDS=0
    set +e
    "$root/cmake/wine-run.sh" "$build/win32_tests.exe" --gtest_filter='Dpi.*' >"$tmp/dpi.log" 2>&1 9>&-
    dpi_rc=$?
    set -e
    grep -E '^\[  (PASSED|FAILED) |DPI tests at|Failure|Expected|Which is|Value of|wine-run' "$tmp/dpi.log" || true
    echo "wine-tests: the DPI tests at $dpi DPI: exit $dpi_rc, $SECONDS s"
    [ "$dpi_rc" -eq 0 ] || rc=1
  done
fi
exit "$rc"
