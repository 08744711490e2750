#!/bin/sh
# usage: ensure-packages.sh PACKAGE...
# Makes sure the Debian packages the build needs are installed: installs the
# missing ones when run as root, otherwise prints the command to run and fails.
# A package named NAME:i386 (Wine's 32-bit part) also needs the i386
# architecture, which is added first on a machine that lacks it.
missing=""
if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "ensure-packages: not a Debian system; make sure these are installed: $*" >&2
  exit 0
fi
for pkg in "$@"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null)
  [ "$status" = installed ] || missing="$missing $pkg"
done
[ -z "$missing" ] && exit 0

install="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y$missing"
case "$missing" in
  *:i386*)
    dpkg --print-foreign-architectures | grep -qx i386 ||
      install="dpkg --add-architecture i386 && $install" ;;
esac
if [ "$(id -u)" -eq 0 ]; then
  echo "ensure-packages: installing$missing"
  sh -c "$install" || exit 1
else
  echo "ensure-packages: missing Debian packages:$missing" >&2
  echo "Run as root:" >&2
  echo "  $install" >&2
  exit 1
fi
