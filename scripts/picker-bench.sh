#!/bin/bash
# usage: scripts/picker-bench.sh [RUNS]
# Times the icon picker's first screen and full Load of a 320-icon library
# and its switch to cursor mode under Wine, next to the bare extraction of
# the same icons (bench/IconPickerBench.cpp), and prints the table. Needs the mingw-x64
# build. Everything started here is stopped before it returns.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
runs=${1:-15}
for f in bench/icon_picker_bench.exe picker_bench_icons.dll; do
  if [ ! -f "$build/$f" ]; then
    echo "picker-bench: $build/$f is missing (run: make bench-picker)" >&2
    exit 2
  fi
done

tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
# A prefix of its own, as for the start-up benchmark: no other run's
# wineserver shares the measured one.
export WINEPREFIX=$build/picker-bench-wine
trap wine_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

start_xvfb 1280x800x24
ensure_prefix
wineserver -p </dev/null >/dev/null 2>&1 9>&-
WINE_RUN_TIMEOUT=300 "$root/cmake/wine-run.sh" "$build/bench/icon_picker_bench.exe" \
  "Z:$build/picker_bench_icons.dll" "$runs" 9>&-
