#!/bin/bash
# usage: scripts/help-screenshot.sh [OUT.png [WIDTH HEIGHT]]
# The help page as a browser shows it, from the top (default
# docs/help-page.png, 1000 x 1300; a large HEIGHT takes the whole page):
# headless Chromium from Debian's chromium package, with a throwaway profile
# and none of its background traffic.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/help-page.png}")
"$root/scripts/ensure-packages.sh" chromium

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size="${2:-1000},${3:-1300}" \
  --screenshot="$out" "file://$root/docs/Dorvane.html" </dev/null >/dev/null 2>"$profile/log" ||
  { cat "$profile/log" >&2; exit 1; }
[ -s "$out" ] || { echo "help-screenshot: no picture made" >&2; cat "$profile/log" >&2; exit 1; }
echo "help-screenshot: $out"
