#!/bin/bash
# usage: scripts/make-dist.sh [OUT_DIR [VERSION]]
# Packs the stripped Release builds (build/release-x64, build/release-x86)
# into OUT_DIR (default dist/): per architecture a portable zip and an MSI,
# Dorvane-VERSION-win64.zip / .msi and -win32. VERSION comes from the file
# VERSION; the tests pass another one to make a "newer" package.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/dist}
version=${2:-$(head -n 1 "$root/VERSION")}
# Dorvane.exe is one self-contained file and must stay small: it is read
# from disk at every logon of a lab PC.
max_exe_bytes=700000

mkdir -p "$out"
out=$(cd "$out" && pwd)

pack() {  # NAME BUILD_DIR WIXL_ARCH WIN64 PROGRAM_FILES_FOLDER
  local name=Dorvane-$version-$1 build=$root/build/$2
  local stage=$root/build/dist/$1
  local exe=$build/Dorvane.exe
  [ -f "$exe" ] || { echo "make-dist: $exe is missing (run: make dist)" >&2; exit 1; }
  local size
  size=$(stat -c %s "$exe")
  if [ "$size" -gt "$max_exe_bytes" ]; then
    echo "make-dist: $exe is $size bytes, more than $max_exe_bytes" >&2
    exit 1
  fi

  rm -rf "$stage"
  mkdir -p "$stage/files"
  cp "$exe" "$build/DorvaneWatch.exe" "$build/tools/dorvane-settings.exe" "$root/docs/Dorvane.html" "$stage/files/"
  # The icon of the Start menu shortcut and of the installed programs list.
  cp "$root/src/win32/res/Dorvane.ico" "$stage/files/"
  # Not SkiffData.dat: a fresh copy starts empty.
  cp "$root/examples/SkiffData.dat" "$stage/files/SkiffData.example.dat"
  # Notepad of older Windows wants CR LF.
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt" >"$stage/files/README.txt"

  rm -f "$out/$name.zip" "$out/$name.msi"
  (cd "$stage/files" && zip -q -X "$out/$name.zip" Dorvane.exe DorvaneWatch.exe dorvane-settings.exe Dorvane.html README.txt \
    SkiffData.example.dat)

  # wixl finds the files relative to the folder it runs in.
  (cd "$stage/files" && wixl -a "$3" -D Version="$version" -D Win64="$4" -D ProgramFilesDir="$5" \
    -o "$out/$name.msi" "$root/packaging/Dorvane.wxs")
  # Beyond wixl: the logon entry only with AUTOSTART=1, and the properties
  # that a managed (elevated) install passes on from the command line. A
  # component whose condition is false is also left alone by an uninstall
  # (and by the uninstall of the older version inside an upgrade), so the
  # condition holds for those too.
  msibuild "$out/$name.msi" \
    -q "UPDATE Component SET Condition = 'AUTOSTART = 1 OR REMOVE = \"ALL\"' WHERE Component = 'Autostart'" \
    -q "UPDATE Property SET Value = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;AUTOSTART;AUTOSTARTARGS' WHERE Property = 'SecureCustomProperties'"
  echo "make-dist: $out/$name.zip, $out/$name.msi (Dorvane.exe $size bytes)"
}

pack win64 release-x64 x64 yes ProgramFiles64Folder
pack win32 release-x86 x86 no ProgramFilesFolder
