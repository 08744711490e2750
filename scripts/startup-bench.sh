#!/bin/bash
# usage: scripts/startup-bench.sh [RUNS]
# Times Dorvane's start-up under Wine next to a program that shows one empty
# window (bench/MinimalWindow.cpp), both in the same run, RUNS starts each
# (default 15), and prints the table. Needs the mingw-x64 build. Everything
# started here (Xvfb, wineserver, the programs) is stopped before it returns.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
runs=${1:-15}
for f in Dorvane.exe bench/minimal_window.exe bench/startup_bench.exe tools/dorvane-settings.exe; do
  if [ ! -f "$build/$f" ]; then
    echo "startup-bench: $build/$f is missing (run: make bench-startup)" >&2
    exit 2
  fi
done

tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
# A prefix of its own: a wineserver shared with make run or the Windows
# tests would be ended by whichever finishes first, and their programs would
# share the measured server.
export WINEPREFIX=$build/startup-bench-wine
trap wine_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

exec 9>"$build/.startup-bench.lock"
if ! flock -n 9; then
  echo "startup-bench: waiting for another start-up benchmark on $build"
  flock 9
fi

# One folder per program, as installed: Dorvane reads the settings beside it.
work=$build/startup-bench
rm -rf "$work"
mkdir -p "$work/minimal" "$work/dorvane" "$work/no-groups" "$work/typical"
cp "$build/bench/minimal_window.exe" "$work/minimal/MinimalWindow.exe"
cp "$build/Dorvane.exe" "$work/dorvane/Dorvane.exe"
cp "$build/Dorvane.exe" "$work/no-groups/Dorvane.exe"
cp "$build/Dorvane.exe" "$work/typical/Dorvane.exe"

start_xvfb 1280x800x24
ensure_prefix
# One wineserver for the whole run, as the programs of a session share one.
wineserver -p </dev/null >/dev/null 2>&1 9>&-

wine_run() { WINE_RUN_TIMEOUT=$1 "$root/cmake/wine-run.sh" "${@:2}" 9>&-; }

# Wine sees the root of the Linux file system as drive Z:.
wine_run 60 "$build/bench/startup_bench.exe" settings "Z:$work/dorvane/SkiffData.dat"
wine_run 60 "$build/bench/startup_bench.exe" settings "Z:$work/typical/SkiffData.dat" typical
# The program's own reader must accept the file, or Dorvane would time an
# error box instead of its window.
for desk in dorvane typical; do
  checked=$(wine_run 60 "$build/tools/dorvane-settings.exe" check "Z:$work/$desk/SkiffData.dat" | tr -d '\r')
  if [ "$checked" != OK ]; then
    echo "startup-bench: the settings file of $desk was not accepted: $checked" >&2
    exit 1
  fi
done

# A start is given 30 s by the harness; the whole run gets a limit as well.
wine_run $((60 + runs * 4 * 35)) "$build/bench/startup_bench.exe" measure "$runs" \
  "Z:$work/minimal/MinimalWindow.exe" "Z:$work/dorvane/Dorvane.exe" "Z:$work/no-groups/Dorvane.exe" \
  "Z:$work/typical/Dorvane.exe"
