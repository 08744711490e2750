# Sourced by the scripts that run Windows programs under Wine: a private
# Xvfb display and the build's Wine prefix, both stopped by wine_cleanup.
# The caller sets `build` (the build folder) and `tmp` (a scratch folder).

export WINEPREFIX=$build/wine
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko download prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINESERVER WINELOADER

# On a machine that cannot run 32-bit programs every Wine command goes
# straight to the 64-bit loader: Debian's `wine` (and wineboot, winepath,
# which call it) would start the 32-bit one whenever wine32 is installed.
wine32_ok=1
if ! "$(dirname "${BASH_SOURCE[0]}")/runs-32bit.sh"; then
  wine32_ok=""
  mkdir -p "$tmp/wine64-only"
  for cmd in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$tmp/wine64-only/$cmd"
    chmod +x "$tmp/wine64-only/$cmd"
  done
  export PATH="$tmp/wine64-only:$PATH" WINELOADER=/usr/lib/wine/wine64
fi
# The line that says what could not be run here, for the summaries.
wine32_skip_reason="this kernel cannot run 32-bit programs"

xvfb_pid=""
wine_up=""

make_prefix() {
  timeout 300 wineboot -i
  timeout 120 wineserver -w
  # A crash must end the process (exit code 5) instead of opening winedbg's
  # dialog, which nobody closes under Xvfb.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  # Without a window manager, hiding or destroying a managed window stalls ~2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  # A fresh prefix has no association for .txt; the shell-execute tests use it.
  wine reg add 'HKCR\.txt' /ve /d txtfile /f
  # The registry reaches the prefix's files only when wineserver exits.
  timeout 120 wineserver -w
}

# Starts Xvfb on a free display (it picks the number itself) and exports DISPLAY.
start_xvfb() {  # WIDTHxHEIGHTxDEPTH
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$tmp/display" 9>&- </dev/null >/dev/null 2>"$tmp/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ -s "$tmp/display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      xvfb_pid=""
      echo "Xvfb did not start:" >&2
      cat "$tmp/xvfb.log" >&2
      return 1
    fi
    sleep 0.05
  done
  if [ ! -s "$tmp/display" ]; then
    echo "Xvfb gave no display number within 10 s" >&2
    return 1
  fi
  export DISPLAY=:$(head -n 1 "$tmp/display")
}

# Creates the prefix on first use; a half-made one (an interrupted first run)
# is thrown away.
ensure_prefix() {
  wine_up=1
  local ready=$WINEPREFIX/.dorvane-prefix-ready
  # A prefix made before Wine's 32-bit part was installed starts no program
  # at all once it is there (its loader becomes the default): make it anew.
  if [ -f "$ready" ] && [ -n "$wine32_ok" ] && [ -x /usr/lib/wine/wine ] &&
    [ -z "$(ls -A "$WINEPREFIX/drive_c/windows/syswow64" 2>/dev/null)" ]; then
    rm -f "$ready"
  fi
  [ -f "$ready" ] && return 0
  rm -rf "$WINEPREFIX"
  echo "creating the Wine prefix in $WINEPREFIX"
  # Wine's own chatter goes to a log: the services wineboot starts would
  # otherwise hold our stdout open.
  local made
  set +e
  (set -e; make_prefix) </dev/null >"$tmp/prefix.log" 2>&1 9>&-
  made=$?
  set -e
  if [ "$made" -ne 0 ]; then
    echo "creating the Wine prefix failed:" >&2
    cat "$tmp/prefix.log" >&2
    return 1
  fi
  touch "$ready"
}

# Ends every process of the prefix and the display this script started.
wine_cleanup() {
  if [ -n "$wine_up" ]; then
    wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
}

# Another DPI needs a prefix of its own (LogPixels is read when a program
# starts). Call use_dpi_prefix before ensure_prefix, set_prefix_dpi after.
use_dpi_prefix() {  # DPI
  [ "$1" = 96 ] || export WINEPREFIX=$build/wine-$1
}
set_prefix_dpi() {  # DPI
  [ "$1" = 96 ] && return 0
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 9>&-
  timeout 60 wineserver -w
}

# The set-up of the screenshot scripts: the prefix for DPI (a prefix of its
# own with that LogPixels when it is not 96), a display of that size and one
# wineserver for the run; everything is stopped at exit.
start_wine_at_dpi() {  # DPI WIDTHxHEIGHTxDEPTH
  use_dpi_prefix "$1"
  trap wine_cleanup EXIT
  start_xvfb "$2"
  ensure_prefix
  set_prefix_dpi "$1"
  wineserver -p </dev/null >/dev/null 2>&1 9>&-
}
