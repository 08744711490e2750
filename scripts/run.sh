#!/bin/bash
# usage: scripts/run.sh
# Starts the built Dorvane.exe under Wine in build/run with the sample
# settings (examples/SkiffData.dat, copied once; later changes are kept).
# With a usable DISPLAY it opens in your own display and waits until you
# close it; without one it runs headless under Xvfb, takes a screenshot and
# prints its path.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
run=$root/build/run
tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
trap wine_cleanup EXIT

mkdir -p "$run"
cp "$build/Dorvane.exe" "$build/Dorvane.html" "$run/"
[ -f "$run/SkiffData.dat" ] || cp "$root/examples/SkiffData.dat" "$run/"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  ensure_prefix
  echo "run: starting Dorvane in $run on $DISPLAY"
  cd "$run"
  wine Dorvane.exe
  exit 0
fi

start_xvfb 1024x768x24
ensure_prefix
cd "$run"
# A virtual desktop draws real title bars for the screenshot.
wine explorer /desktop=dorvane,1024x768 Dorvane.exe </dev/null >/dev/null 2>&1 &
sleep "${RUN_SECONDS:-8}"
import -display "$DISPLAY" -window root "$run/screenshot.png"
echo "run: Dorvane ran headless under Xvfb; screenshot: $run/screenshot.png"
