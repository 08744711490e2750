#!/bin/sh
# Launcher for native test executables. ctest stops looking at the exit code
# once a pass pattern is set, so a failing exit is reported in the output
# (matched by the fail pattern) as well as returned.
"$@"
rc=$?
if [ "$rc" -ne 0 ]; then
  echo "run-test: ${1##*/} exited with code $rc" >&2
fi
exit "$rc"
