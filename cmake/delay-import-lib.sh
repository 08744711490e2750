#!/bin/sh
# usage: delay-import-lib.sh NM DLLTOOL IMPORT_LIB DLL OUT
# Writes OUT, a delay-load import library for DLL with every function that
# the toolchain's IMPORT_LIB names: the DLL is then loaded by its first call,
# not at the program's start. Only functions: data cannot be reached that way.
set -eu
nm=$1 dlltool=$2 lib=$3 dll=$4 out=$5
def=$out.def
# 32-bit names carry a leading underscore, and __stdcall ones an @N that the
# DLL's own export does not have (--kill-at).
case "$("$nm" "$lib" | grep -m1 ' I __head_')" in
  *__head_lib32*) strip=__imp__ kill=--kill-at ;;
  *) strip=__imp_ kill= ;;
esac
{
  echo "LIBRARY $dll"
  echo EXPORTS
  "$nm" "$lib" | awk -v strip="$strip" -v lead="${strip#__imp_}" '
    $2 == "I" && index($3, strip) == 1 { imp[substr($3, length(strip) + 1)] = 1 }
    $2 == "T" { code[$3] = 1 }
    END { for (n in imp) if ((lead n) in code) print n }' | sort
} >"$def"
"$dlltool" $kill --input-def "$def" --dllname "$dll" --output-delaylib "$out"
