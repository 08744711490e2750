#!/bin/bash
# usage: scripts/main-screenshot.sh BTNSIZE [DPI] [OUT.png]
# Starts Dorvane.exe over examples/SkiffData.dat with the button size BTNSIZE
# (0 mini, 1 small, 2 large) under Wine in a virtual desktop on a private
# Xvfb display, at DPI 96 (default) or another (a prefix of its own with that
# LogPixels), and saves a screenshot of the window. Needs the mingw-x64 build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
size=${1:-2}
dpi=${2:-96}
out=${3:-$build/main-$size-$dpi.png}
tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
start_wine_at_dpi "$dpi" 1600x1000x24

mkdir -p "$tmp/run"
cp "$build/Dorvane.exe" "$tmp/run/"
sed "s/^  BtnSize = .*/  BtnSize = $size/" "$root/examples/SkiffData.dat" >"$tmp/run/SkiffData.dat"
s() { echo $(( $1 * dpi / 96 )); }
(cd "$tmp/run" && timeout 60 wine explorer /desktop=main,$(s 900)x$(s 450) Dorvane.exe </dev/null >"$tmp/run.log" 2>&1 9>&-) &
sleep "${SHOT_SECONDS:-8}"
# The desktop's plain colour around the window is cut away
import -display "$DISPLAY" -window root -crop "$(s 900)x$(s 450)+0+0" +repage "$tmp/desk.png"
# (and the taskbar at the bottom first).
convert "$tmp/desk.png" -crop "$(s 900)x$(s 400)+0+0" +repage -trim +repage "$out"
echo "main-screenshot: $out"
