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
has_row() {  # MSI TABLE AWK_CONDITION
  table "$1" "$2" | awk -F '\t' "BEGIN { found = 0 } $3 { found = 1 } END { exit !found }"
}
property() { table "$1" Property | awk -F '\t' -v p="$2" '$1 == p { print $2 }'; }
equals() { [ "$1" = "$2" ] || { echo "expected '$2', got '$1'"; return 1; }; }

for arch in win64 win32; do
  msi=$dist/Dorvane-$version-$arch.msi
  [ $arch = win64 ] && pf=ProgramFiles64Folder || pf=ProgramFilesFolder
  check "$arch msi: per-machine, version $version" \
    eval 'equals "$(property "$msi" ALLUSERS)" 1 && equals "$(property "$msi" ProductVersion)" "$version"'
  check "$arch msi: the upgrade code, and older versions found for removal" \
    eval 'equals "$(property "$msi" UpgradeCode)" "$upgrade_code" &&
      has_row "$msi" Upgrade "\$1 == \"$upgrade_code\" && \$3 == \"$version\" && \$7 == \"WIX_UPGRADE_DETECTED\"" &&
      has_row "$msi" InstallExecuteSequence "\$1 == \"RemoveExistingProducts\""'
  check "$arch msi: into Program Files\\Dorvane" \
    has_row "$msi" Directory "\$1 == \"INSTALLDIR\" && \$2 == \"$pf\" && \$3 == \"Dorvane\""
  check "$arch msi: a Start menu shortcut to Dorvane" \
    has_row "$msi" Shortcut '$2 == "ProgramMenuFolder" && $3 == "Dorvane" && $4 == "Program" && $12 == "INSTALLDIR"'
  check "$arch msi: AUTOSTART=1 adds Dorvane to every logon" \
    eval 'has_row "$msi" Component "\$1 == \"Autostart\" && \$5 == \"AUTOSTART = 1\"" &&
      has_row "$msi" Registry "\$2 == 2 && \$3 == \"Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\" && \$4 == \"Dorvane\" && \$6 == \"Autostart\"" &&
      property "$msi" SecureCustomProperties | grep -q "AUTOSTART;AUTOSTARTARGS"'
  check "$arch msi: brings no desk of its own (it would be removed with the program)" \
    eval '! table "$msi" File | cut -f 3 | grep -qix -e SkiffData.dat -e Deradiv.INI &&
      table "$msi" File | cut -f 3 | grep -qx Dorvane.exe'
done

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

for arch in win64 win32; do
  [ $arch = win64 ] && tests=$tests64 || tests=$tests32
  zip=$dist/Dorvane-$version-$arch.zip
  unpacked=$tmp/zip-$arch
  check "$arch zip: unpacks to the program, the tool, the help, the read-me and an example desk" \
    eval 'unzip -q "$zip" -d "$unpacked" &&
      equals "$(ls "$unpacked" | tr "\n" " ")" "Dorvane.exe Dorvane.html README.txt SkiffData.example.dat dorvane-settings.exe " &&
      [ "$(stat -c %s "$unpacked/Dorvane.exe")" -lt 1000000 ]'
  check "$arch zip: the example desk is one that Dorvane reads" \
    eval 'out=$("$root/cmake/wine-run.sh" "$unpacked/dorvane-settings.exe" check "$(winepath -w "$unpacked/SkiffData.example.dat")") &&
      equals "$(tr -d "\r" <<<"$out")" OK'
  check "$arch zip: its Dorvane.exe starts, shows its tabs, runs a button and closes" \
    drive "$tests" "$(winepath -w "$unpacked")"
done

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorvane.lnk"
msiexec() { timeout 180 wine msiexec "$@" </dev/null; }
# Registry values through Wine's reg; the 32-bit view of a 64-bit prefix too.
reg_value() {  # KEY NAME [/reg:32]
  wine reg query "$1" /v "$2" ${3:-} </dev/null 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
installed_versions() {  # [/reg:32]: the DisplayVersion of every installed Dorvane, one a line
  wine reg query "$uninstall_key" /s ${1:-} </dev/null 2>/dev/null | tr -d '\r' | awk '
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

for arch in win64 win32; do
  if [ $arch = win64 ]; then
    tests=$tests64 folder="C:\\Program Files\\Dorvane" view=""
    dir="$WINEPREFIX/drive_c/Program Files/Dorvane"
  else
    tests=$tests32 folder="C:\\Program Files (x86)\\Dorvane" view="/reg:32"
    dir="$WINEPREFIX/drive_c/Program Files (x86)/Dorvane"
  fi
  msi=$(winepath -w "$dist/Dorvane-$version-$arch.msi")
  check "$arch msi: installs silently with AUTOSTART=1, into $folder with its shortcut" \
    eval 'msiexec /i "$msi" /qn AUTOSTART=1 AUTOSTARTARGS=/R &&
      exists "$dir/Dorvane.exe" "$dir/dorvane-settings.exe" "$dir/Dorvane.html" "$dir/README.txt" "$dir/SkiffData.example.dat" "$menu" &&
      absent "$dir/SkiffData.dat" &&
      equals "$(installed_versions "$view")" "$version"'
  check "$arch msi: Dorvane starts at every logon, with the switch asked for" \
    eval 'equals "$(reg_value "$run_key" Dorvane "$view")" "\"$folder\\Dorvane.exe\" /R"'
  check "$arch msi: the installed Dorvane.exe starts, shows its tabs, runs a button and closes" \
    drive "$tests" "$folder"

  # The desk an administrator put there, and the window position.
  printf 'object TSkiffData\r\n  HideTaskBar = True\r\nend\r\n' >"$dir/SkiffData.dat"
  printf '[Window Position]\r\nTMainForm_Left=10\r\n' >"$dir/Deradiv.INI"
  newer_msi=$(winepath -w "$newer/Dorvane-$newer_version-$arch.msi")
  check "$arch msi: a newer package replaces it and keeps the desk" \
    eval 'msiexec /i "$newer_msi" /qn &&
      equals "$(installed_versions "$view")" "$newer_version" &&
      exists "$dir/Dorvane.exe" "$dir/SkiffData.dat" "$dir/Deradiv.INI" "$menu" &&
      grep -q HideTaskBar "$dir/SkiffData.dat"'
  check "$arch msi: without AUTOSTART=1 Dorvane does not start at logon" \
    eval 'equals "$(reg_value "$run_key" Dorvane "$view")" ""'
  check "$arch msi: uninstalls silently, leaving SkiffData.dat and Deradiv.INI" \
    eval 'msiexec /x "$newer_msi" /qn &&
      absent "$dir/Dorvane.exe" "$dir/dorvane-settings.exe" "$dir/Dorvane.html" "$menu" &&
      exists "$dir/SkiffData.dat" "$dir/Deradiv.INI" &&
      equals "$(installed_versions "$view")" ""'
  rm -rf "$dir"
done

echo "dist-tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
