#!/usr/bin/env bash
# Runs dorvane-settings the way an administrator would and checks what it
# prints and how it exits.
#   dorvane-settings-test.sh DATA_DIR TOOL_DATA_DIR [RUNNER...] TOOL
# DATA_DIR is the folder of the test files here, TOOL_DATA_DIR the same
# folder as the tool sees it (a Windows tool under Wine sees Z:/...).
set -u
host=$1; data=$2; shift 2
tool=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0

expect() {  # name, wanted exit code, wanted stdout, actual exit code, actual stdout
  if [ "$4" != "$2" ] || [ "$5" != "$3" ]; then
    echo "FAIL $1: exit $4 (wanted $2), output:"; printf '%s\n' "$5"; echo "wanted:"; printf '%s\n' "$3"
    fails=$((fails + 1))
  else
    echo "ok   $1"
  fi
}

check() {  # runs "check FILE"; sets code and out (line ends without CR)
  "${tool[@]}" check "$1" > "$work/out"; code=$?
  out=$(tr -d '\r' < "$work/out")
}
check "$data/example.dat"; expect "check a good file" 0 "OK" "$code" "$out"
check "$data/bad-entry.dat"
expect "check a misspelt entry property" 1 \
  "Error reading TSkiffData.Groups: Error reading TGroupItem.Apps: Error reading TAppItem.Titel: Property Titel does not exist" \
  "$code" "$out"
check "$data/no-such-file.dat"
case "$out" in "Cannot open file \""*) out=prefix-ok ;; esac
expect "check a missing file" 1 "prefix-ok" "$code" "$out"
"${tool[@]}" normalize "$data/example.dat" > "$work/saved.dat"; code=$?
cmp -s "$work/saved.dat" "$host/example.dat" && same=same || same=different
expect "normalize keeps a saved file byte for byte" 0 same "$code" "$same"
"${tool[@]}" normalize "$data/hand-edited.dat" > "$work/normal.dat"; code=$?
cmp -s "$work/normal.dat" "$host/hand-edited-normal.dat" && same=same || same=different
expect "normalize a hand-edited file" 0 same "$code" "$same"
"${tool[@]}" frobnicate "$data/example.dat" > /dev/null 2>&1; expect "unknown command" 2 "" "$?" ""

[ "$fails" = 0 ] && echo "dorvane-settings: all passed" || { echo "dorvane-settings: $fails failed"; exit 1; }
