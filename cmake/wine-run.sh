#!/bin/sh
# CMAKE_CROSSCOMPILING_EMULATOR for the Windows builds: runs one executable
# under Wine. The prefix, display and wineserver are set up by
# scripts/wine-tests.sh; this only runs the program and reports how it ended.
# A 32-bit program where the kernel refuses 32-bit programs is skipped, and
# says so (ctest counts it as skipped, not passed).
if ! "$(dirname "$0")/../scripts/runs-32bit.sh" "$1"; then
  echo "wine-run: SKIPPED: this kernel cannot run 32-bit programs (${1##*/})"
  exit 77
fi
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: WINEPREFIX and DISPLAY are not set; run the Windows tests through scripts/wine-tests.sh" >&2
  exit 2
fi

# The program writes to files, never to our caller's pipes: Wine hands the
# std handles to wineserver and to the services it starts, which then keep a
# pipe open long after the program has exited, and ctest waits for its end.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 2
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 2
trap 'rm -f "$out" "$err"' EXIT

# A hung program (a modal box nobody answers) must not stall the run.
limit=${WINE_RUN_TIMEOUT:-120}
timeout --kill-after=10 "$limit" wine "$@" </dev/null >"$out" 2>"$err"
rc=$?
cat "$out"
cat "$err" >&2

# Wine passes the exit code through (& 0xFF); an unhandled exception ends
# with 5 once the crash dialog is off, a timeout with 124 (137 if killed).
# ctest ignores exit codes once a pass pattern is set: say it in the output
# (on stderr, so that a caller comparing the program's stdout is not misled).
if [ "$rc" -ne 0 ]; then
  case $rc in
    124|137) why=" (no exit within ${limit} s)" ;;
    *) why="" ;;
  esac
  echo "wine-run: ${1##*/} exited with code $rc$why" >&2
fi
exit "$rc"
