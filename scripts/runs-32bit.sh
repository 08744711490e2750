#!/bin/sh
# usage: scripts/runs-32bit.sh [EXE]
# Exit 0 when this machine can run 32-bit Windows programs under Wine, 1 when
# it cannot. With EXE: exit 0 at once when EXE is not a 32-bit program. Some kernels refuse i386 programs (32-bit emulation switched off
# in containers and hardened hosts, WSL 1); there Debian's `wine` script,
# which prefers the 32-bit loader once wine32 is installed, starts nothing.
# Takes a few milliseconds and needs no package.
if [ -n "${1:-}" ]; then
  # The PE header's machine field: 014c is i386.
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ] || exit 0
fi

loader32=/usr/lib/wine/wine
if [ -e "$loader32" ]; then
  # Wine's 32-bit part is installed: ask its loader itself.
  "$loader32" --version >/dev/null 2>&1 || exit 1
  exit 0
fi

# Not installed yet: would the kernel run it? A 96-byte static i386 program
# whose only work is exit(42).
probe=$(mktemp "${TMPDIR:-/tmp}/runs-32bit.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then
# mov eax,1; mov ebx,42; int 0x80.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$probe"
printf '\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >>"$probe"
chmod +x "$probe"
"$probe" >/dev/null 2>&1
[ $? -eq 42 ]
