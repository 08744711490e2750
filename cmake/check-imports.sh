#!/bin/sh
# usage: check-imports.sh OBJDUMP [--late "DLL..."] EXE...
# Fails when an executable imports a MinGW runtime DLL (they are all named
# lib*.dll); Dorvane must run with nothing but the system's DLLs beside it.
# With --late, also when it loads one of those DLLs at its start rather than
# at their first call.
objdump=$1
shift
late=
if [ "${1:-}" = --late ]; then
  late=$2
  shift 2
fi
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [ -z "$dlls" ]; then
    # Every Windows exe imports at least kernel32; no list means we failed to read it.
    echo "check-imports: no import table read from $exe" >&2
    status=1
    continue
  fi
  bad=$(printf '%s\n' "$dlls" | grep -i '^lib')
  early=$(for dll in $late; do printf '%s\n' "$dlls" | grep -i -x "$dll.dll"; done)
  if [ -n "$bad" ]; then
    echo "check-imports: ${exe##*/} needs DLLs that are not part of Windows:" $bad >&2
    status=1
  elif [ -n "$early" ]; then
    echo "check-imports: ${exe##*/} loads at its start what should wait for the first call:" $early >&2
    status=1
  else
    echo "check-imports: ${exe##*/}:" $dlls
  fi
done
exit $status
