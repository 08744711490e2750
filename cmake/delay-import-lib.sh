#!/bin/sh
# usage: delay-import-lib.sh NM DLLTOOL IMPORT_LIB DLL OUT
# Writes OUT, a delay-load import library for DLL with every function that
# the toolchain's 64-bit IMPORT_LIB names: the DLL is then loaded by its
# first call, not at the program's start. Only functions: data cannot be
# reached that way.
set -eu
nm=$1 dlltool=$2 lib=$3 dll=$4 out=$5
def=$out.def
{
  echo "LIBRARY $dll"
  echo EXPORTS
  "$nm" "$lib" | awk '
    $2 == "I" && index($3, "__imp_") == 1 { imp[substr($3, 7)] = 1 }
    $2 == "T" { code[$3] = 1 }
    END { for (n in imp) if (n in code) print n }' | sort
} >"$def"
"$dlltool" --input-def "$def" --dllname "$dll" --output-delaylib "$out"
