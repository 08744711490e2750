#!/bin/bash
# usage: scripts/dist-tests.sh
# Checks what make dist put into dist/ the way an administrator meets it:
# the MSIs' tables; each zip unpacked, its example desk checked with the
# tool beside it and its Dorvane.exe driven end to end; the 64-bit and the
# 32-bit MSI installed silently under Wine's msiexec, run, upgraded by a
# newer package and uninstalled, leaving the desk's files. Runs in the
# 32-bit build's Wine prefix (it runs 64- and 32-bit programs); everything
# started here is stopped before the script returns.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
version=$(head -n 1 "$root/VERSION")
dist=$root/dist
build=$root/build/mingw-x86
tests64=$root/build/mingw-x64/win32_tests.exe
tests32=$build/win32_tests.exe
upgrade_code="{A9B08BED-3328-4FBB-83CA-91F2B48E21AF}"
for f in "$tests64" "$tests32" "$dist/Dorvane-$version-win64.msi" "$dist/Dorvane-$version-win32.zip"; do
  [ -f "$f" ] || { echo "dist-tests: $f is missing (run: make test)" >&2; exit 2; }
done

tmp=$(mktemp -d)
. "$root/scripts/wine-common.sh"
# Installed shortcuts stay inside the prefix, not in this machine's menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
trap wine_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

passed=0
failed=0
skipped=0
skip() {  # WHAT: a check that needs what this machine cannot do
  skipped=$((skipped + 1))
  echo "SKIPPED ($wine32_skip_reason): $1"
}
# Runs a check that starts a 32-bit program, or skips it where none can run.
check32() {  # ARCH WHAT COMMAND...
  if [ "$1" = win32 ] && [ -z "$wine32_ok" ]; then
    skip "$2"
  else
    check "${@:2}"
  fi
}
check() {  # WHAT COMMAND...: one named check, its output kept for a failure
  if "${@:2}" >"$tmp/check.log" 2>&1; then
    passed=$((passed + 1))
    echo "ok: $1"
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
    sed 's/^/    /' "$tmp/check.log" | tail -n 30
  fi
}

# One table of an MSI without its three header lines.
table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }
has_row() {  # MSI TABLE COLUMN=VALUE...: a row with these values (columns from 1)
  local msi=$1 tbl=$2
  shift 2
  table "$msi" "$tbl" | awk -F '\t' -v want="$(printf '%s\n' "$@")" '
    BEGIN { n = split(want, pairs, "\n") }
    { ok = 1; for (i = 1; i <= n; i++) { eq = index(pairs[i], "="); if ($substr(pairs[i], 1, eq - 1) != substr(pairs[i], eq + 1)) ok = 0 } if (ok) found = 1 }
    END { exit !found }' || { echo "no row $* in $tbl"; return 1; }
}
property() { table "$1" Property | awk -F '\t' -v p="$2" '$1 == p { print $2 }'; }
equals() { [ "$1" = "$2" ] || { echo "expected '$2', got '$1'"; return 1; }; }

msi_per_machine() {  # MSI
  equals "$(property "$1" ALLUSERS)" 1 && equals "$(property "$1" ProductVersion)" "$version"
}
msi_upgrades() {  # MSI: its upgrade code, older versions of it found and removed
  equals "$(property "$1" UpgradeCode)" "$upgrade_code" &&
    has_row "$1" Upgrade 1="$upgrade_code" 3="$version" 7=WIX_UPGRADE_DETECTED &&
    has_row "$1" InstallExecuteSequence 1=RemoveExistingProducts
}
msi_autostart() {  # MSI: the Run value, only with AUTOSTART=1 (and removed again)
  has_row "$1" Component 1=Autostart 5='AUTOSTART = 1 OR REMOVE = "ALL"' &&
    has_row "$1" Registry 2=2 3='Software\Microsoft\Windows\CurrentVersion\Run' 4=Dorvane 6=Autostart &&
    property "$1" SecureCustomProperties | grep -q 'AUTOSTART;AUTOSTARTARGS'
}
msi_no_desk() {  # MSI: a desk it brought would be removed with the program
  ! table "$1" File | cut -f 3 | grep -ix -e SkiffData.dat -e Deradiv.INI && has_row "$1" File 3=Dorvane.exe
}
msi_watcher() {  # MSI: the desk watcher beside Dorvane.exe, in the same component
  has_row "$1" File 2=Program 3=DorvaneWatch.exe
}

for arch in win64 win32; do
  msi=$dist/Dorvane-$version-$arch.msi
  [ $arch = win64 ] && pf=ProgramFiles64Folder || pf=ProgramFilesFolder
  check "$arch msi: per-machine, version $version" msi_per_machine "$msi"
  check "$arch msi: the upgrade code, and older versions found for removal" msi_upgrades "$msi"
  check "$arch msi: into Program Files\\Dorvane" has_row "$msi" Directory 1=INSTALLDIR 2=$pf 3=Dorvane
  check "$arch msi: a Start menu shortcut to Dorvane" \
    has_row "$msi" Shortcut 2=ProgramMenuFolder 3=Dorvane 4=Program 12=INSTALLDIR
  check "$arch msi: AUTOSTART=1 adds Dorvane to every logon" msi_autostart "$msi"
  check "$arch msi: brings no desk of its own" msi_no_desk "$msi"
  check "$arch msi: carries the desk watcher beside Dorvane.exe" msi_watcher "$msi"
done

# The prefix is the 32-bit build's: one Wine run on it at a time.
exec 9>"$build/.wine-tests.lock"
flock -n 9 || { echo "dist-tests: waiting for another Wine test run on $build"; flock 9; }
# Installs that a failed run left behind would mislead this one: such a
# prefix is made anew.
dirty=$build/wine/.dorvane-installs-left
[ -f "$dirty" ] && rm -f "$build/wine/.dorvane-prefix-ready"
start_xvfb 1280x800x24
ensure_prefix
wineserver -p </dev/null >/dev/null 2>&1 9>&-

# The program's end-to-end tests, on the Dorvane.exe in a Windows folder.
drive() {  # TESTS_EXE FOLDER
  local out
  out=$(DORVANE_EXE_DIR=$2 "$root/cmake/wine-run.sh" "$1" \
    --gtest_filter='DorvaneExe.StartsAndClosesThroughTheConfirmation:DorvaneExe.SwitchesTabsAndPressesAButtonLikeAPerson:DorvaneExe.CarriesTheVersionOfThePackage' 2>&1) || true
  echo "$out"
  grep -q '^\[  PASSED  \] 3 tests\.' <<<"$out"
}

zip_contents() {  # ZIP FOLDER: unpacked, exactly what a user should find
  unzip -q "$1" -d "$2" &&
    equals "$(ls "$2" | tr '\n' ' ')" "Dorvane.exe Dorvane.html DorvaneWatch.exe README.txt SkiffData.example.dat dorvane-settings.exe " &&
    [ "$(stat -c %s "$2/Dorvane.exe")" -le 700000 ] && [ "$(stat -c %s "$2/DorvaneWatch.exe")" -lt 16384 ]
}
example_desk_reads() {  # FOLDER: its tool accepts its example desk
  local out
  out=$("$root/cmake/wine-run.sh" "$1/dorvane-settings.exe" check "$(winepath -w "$1/SkiffData.example.dat")") &&
    equals "$(tr -d '\r' <<<"$out")" OK
}

for arch in win64 win32; do
  [ $arch = win64 ] && tests=$tests64 || tests=$tests32
  unpacked=$tmp/zip-$arch
  check "$arch zip: unpacks to the program, the tool, the help, the read-me and an example desk" \
    zip_contents "$dist/Dorvane-$version-$arch.zip" "$unpacked"
  check32 $arch "$arch zip: the example desk is one that Dorvane reads" example_desk_reads "$unpacked"
  check32 $arch "$arch zip: its Dorvane.exe starts, shows its tabs, runs a button and closes" \
    drive "$tests" "$(winepath -w "$unpacked")"
done

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
msiexec() { timeout 180 wine msiexec "$@" </dev/null; }
# The Start menu shortcut: Windows puts it into the all-users Start menu
# (ProgramMenuFolder with ALLUSERS=1, checked in the tables above); Wine's
# msiexec into the installing user's.
shortcut() {
  local found
  found=$(find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs \
    -maxdepth 1 -name Dorvane.lnk 2>/dev/null | head -n 1)
  [ -n "$found" ] || { echo "no Dorvane.lnk in a Start menu"; return 1; }
}
no_shortcut() { ! shortcut >/dev/null || { echo "Dorvane.lnk is still in a Start menu"; return 1; }; }
# A registry value in the 64-bit or the 32-bit view (VIEW is 64 or 32).
reg_value() {  # KEY NAME VIEW
  wine reg query "$1" /v "$2" /reg:$3 </dev/null 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
installed_versions() {  # VIEW: the DisplayVersion of every installed Dorvane, one a line
  wine reg query "$uninstall_key" /s /reg:$1 </dev/null 2>/dev/null | tr -d '\r' | awk '
    function flush() { if (name == "Dorvane") print version; name = ""; version = "" }
    /^HKEY/ { flush() }
    $1 == "DisplayName" { name = $3 }
    $1 == "DisplayVersion" { version = $3 }
    END { flush() }'
}
exists() { for f in "$@"; do [ -e "$f" ] || { echo "missing: $f"; return 1; }; done; }
absent() { for f in "$@"; do [ ! -e "$f" ] || { echo "still there: $f"; return 1; }; done; }

# A newer package of the same product, to upgrade to.
newer=$tmp/newer
newer_version=${version%.*}.$((${version##*.} + 1))
"$root/scripts/make-dist.sh" "$newer" "$newer_version" >/dev/null

installs() {  # MSI: silently, with AUTOSTART=1, files and shortcut in place
  msiexec /i "$1" /qn AUTOSTART=1 AUTOSTARTARGS=/R &&
    exists "$dir/Dorvane.exe" "$dir/DorvaneWatch.exe" "$dir/dorvane-settings.exe" "$dir/Dorvane.html" \
      "$dir/README.txt" "$dir/SkiffData.example.dat" && shortcut && absent "$dir/SkiffData.dat" &&
    equals "$(installed_versions "$view")" "$version"
}
upgrades() {  # NEWER_MSI: one Dorvane left, the newer one, the desk kept
  msiexec /i "$1" /qn &&
    equals "$(installed_versions "$view")" "$newer_version" &&
    exists "$dir/Dorvane.exe" "$dir/SkiffData.dat" "$dir/Deradiv.INI" && shortcut &&
    grep -q HideTaskBar "$dir/SkiffData.dat"
}
uninstalls() {  # MSI: the program gone, the desk's files left
  msiexec /x "$1" /qn &&
    absent "$dir/Dorvane.exe" "$dir/DorvaneWatch.exe" "$dir/dorvane-settings.exe" "$dir/Dorvane.html" && no_shortcut &&
    exists "$dir/SkiffData.dat" "$dir/Deradiv.INI" &&
    equals "$(installed_versions "$view")" "" && equals "$(reg_value "$run_key" Dorvane "$view")" ""
}

touch "$dirty"
for arch in win64 win32; do
  if [ $arch = win64 ]; then
    tests=$tests64 folder="C:\\Program Files\\Dorvane" view=64
    dir="$WINEPREFIX/drive_c/Program Files/Dorvane"
  else
    tests=$tests32 folder="C:\\Program Files (x86)\\Dorvane" view=32
    dir="$WINEPREFIX/drive_c/Program Files (x86)/Dorvane"
  fi
  check "$arch msi: installs silently with AUTOSTART=1, into $folder with its shortcut" \
    installs "$(winepath -w "$dist/Dorvane-$version-$arch.msi")"
  check "$arch msi: Dorvane starts at every logon, with the switch asked for" \
    equals "$(reg_value "$run_key" Dorvane "$view")" "\"$folder\\Dorvane.exe\" /R"
  check32 $arch "$arch msi: the installed Dorvane.exe starts, shows its tabs, runs a button and closes" \
    drive "$tests" "$folder"

  # The desk an administrator put there, and the window position.
  printf 'object TSkiffData\r\n  HideTaskBar = True\r\nend\r\n' >"$dir/SkiffData.dat"
  printf '[Window Position]\r\nTMainForm_Left=10\r\n' >"$dir/Deradiv.INI"
  newer_msi=$(winepath -w "$newer/Dorvane-$newer_version-$arch.msi")
  check "$arch msi: a newer package replaces it and keeps the desk" upgrades "$newer_msi"
  check "$arch msi: without AUTOSTART=1 Dorvane does not start at logon" \
    equals "$(reg_value "$run_key" Dorvane "$view")" ""
  check "$arch msi: uninstalls silently, nothing at logon, leaving SkiffData.dat and Deradiv.INI" \
    uninstalls "$newer_msi"
  rm -rf "$dir"
done
[ "$failed" -eq 0 ] && rm -f "$dirty"

echo "dist-tests: $passed passed, $failed failed, $skipped skipped"
if [ "$skipped" -gt 0 ]; then
  echo "SKIPPED: $wine32_skip_reason: $skipped checks of the win32 packages that run its programs"
fi
[ "$failed" -eq 0 ]
