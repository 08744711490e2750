#!/bin/bash
# usage: scripts/splash-screenshot.sh [OUT.png [DORVANE_EXE]]
# Starts Dorvane.exe (default: the mingw-x64 build's) under Wine on a private
# Xvfb display and saves a screenshot of its splash window. The splash is up
# only while the main window is made, so the run folder holds a desk of 300
# entries whose icons come from shell32.dll, which keeps it there long enough
# for a few pictures; the first one that shows the whole splash is kept.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
out=$(realpath -m "${1:-$build/splash.png}")
exe=$(realpath "${2:-$build/Dorvane.exe}")
tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
start_wine_at_dpi 96 800x600x24

mkdir -p "$tmp/run" "$tmp/shots"
cp "$exe" "$tmp/run/Dorvane.exe"
{
  printf 'object TSkiffData\n  BtnSize = 2\n  Groups = <\n    item\n      Name = %s\n      Apps = <' "'Slow'"
  for i in $(seq 0 299); do
    printf '\n        item\n          Title = %s\n          Command = %s\n          IconLocation = %s\n        end' \
      "'Program $i'" "'C:\\windows\\notepad.exe'" "'C:\\windows\\system32\\shell32.dll,$((i % 180))'"
  done
  printf '>\n    end>\nend\n'
} >"$tmp/run/SkiffData.dat"

(cd "$tmp/run" && timeout 60 wine Dorvane.exe </dev/null >"$tmp/run.log" 2>&1 9>&-) &
# The splash is 324 x 366, centred on the 800 x 600 screen.
for i in $(seq -w 1 80); do
  import -display "$DISPLAY" -window root -crop 324x366+238+117 +repage "$tmp/shots/$i.png" 2>/dev/null || true
  # A shot of the splash has no black (the bare root) left in its corners.
  if [ -f "$tmp/shots/$i.png" ] &&
    [ "$(convert "$tmp/shots/$i.png" -crop 4x4+0+0 -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != 0 ] &&
    [ "$(convert "$tmp/shots/$i.png" -crop 4x4+320+362 -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != 0 ]; then
    cp "$tmp/shots/$i.png" "$out"
    echo "splash-screenshot: $out"
    exit 0
  fi
  sleep 0.05
done
echo "splash-screenshot: the splash was not seen" >&2
exit 1
