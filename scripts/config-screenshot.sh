#!/bin/bash
# usage: scripts/config-screenshot.sh PAGE [DPI] [OUT.png]
# Shows the configuration dialog over examples/SkiffData.dat (page 0: the
# applications with an entry in the editor, 1: the options, 2: the first with
# the tree's menu open over the entry) under Wine in a
# virtual desktop on a private Xvfb display and saves a screenshot. DPI 96
# (default) or another value, which gets a prefix of its own with that
# LogPixels. Needs the mingw-x64 build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw-x64
page=${1:-0}
dpi=${2:-96}
out=${3:-$build/config-$page-$dpi.png}
tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
start_wine_at_dpi "$dpi" 1280x1024x24

cp "$root/examples/SkiffData.dat" "$tmp/desk.dat"
s() { echo $(( $1 * dpi / 96 )); }
timeout 60 wine explorer /desktop=config,$(s 700)x$(s 600) "$build/win32_tests.exe" --config-shot \
  "$(winepath -w "$tmp/desk.dat")" "$page" </dev/null >"$tmp/run.log" 2>&1 9>&- &
sleep 7
import -display "$DISPLAY" -window root -crop "$(s 700)x$(s 600)+0+0" +repage "$out"
echo "config-screenshot: $out"
