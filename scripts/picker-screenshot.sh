#!/bin/bash
# usage: scripts/picker-screenshot.sh [DPI] [OUT.png]
# Shows the icon picker (file mode, a library's icons, large, one picked)
# under Wine in a virtual desktop on a private Xvfb display and saves a
# screenshot. DPI 96 (default) or any other value, which gets a prefix of its
# own with that LogPixels. Needs the mingw-x64 build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
dpi=${1:-96}
out=${2:-$build/icon-picker-$dpi.png}
tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
start_wine_at_dpi "$dpi" 1280x800x24

DORVANE_SHOWCASE_MS=6000 timeout 60 wine explorer /desktop=picker,1280x800 "$build/win32_tests.exe" \
  --gtest_filter=IconGlyphPickEdt.Showcase </dev/null >"$tmp/run.log" 2>&1 9>&- &
shown=$!
sleep 4.5
# The dialog stands at 247,152 and is 360 x 340 (at 96 DPI): that and a margin.
s() { echo $(( $1 * dpi / 96 )); }
import -display "$DISPLAY" -window root -crop "$(s 400)x$(s 380)+$(s 227)+$(s 132)" +repage "$out"
wait "$shown" || true
echo "picker-screenshot: $out"
