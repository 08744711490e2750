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

check() {  # runs "check [OPTION] FILE"; sets code and out (line ends without CR)
  "${tool[@]}" check "$@" > "$work/out"; code=$?
  out=$(tr -d '\r' < "$work/out")
}
check "$data/example.dat"; expect "check a good file" 0 "OK" "$code" "$out"
check --strict "$data/example.dat"; expect "check --strict a good file" 0 "OK" "$code" "$out"
check "$data/bad-entry.dat"
expect "check a misspelt entry property: where, then what" 1 \
  "$data/bad-entry.dat:6:11: Error reading TSkiffData.Groups: Error reading TGroupItem.Apps: Error reading TAppItem.Titel: Property Titel does not exist" \
  "$code" "$out"
warnings="$data/warnings.dat:2:13: warning: BtnSize 7 is not a button size (0 Mini, 1 Small, 2 Large): buttons are shown Large
$data/warnings.dat:3:21: warning: DoubleClickTime -5 is negative: a second press is not held back
$data/warnings.dat:11:25: warning: WindowState 'Q' is not N, M or X: the program runs normal
$data/warnings.dat:12:24: warning: DialogType 'y' is not N, Y or O: nothing is asked before the program runs
$data/warnings.dat:14:9: warning: Entry 'Nothing' has no command: its button only says \"There is no program to run.\"
$data/warnings.dat:18:5: warning: A group without a name shows a blank tab
$data/warnings.dat:21:14: warning: Group name 'Office' is used twice: the tabs look the same"
check "$data/warnings.dat"; expect "warnings do not fail a check" 0 "$warnings
OK" "$code" "$out"
check --strict "$data/warnings.dat"; expect "warnings fail a strict check" 3 "$warnings" "$code" "$out"
check --strict "$data/bad-entry.dat"; expect "an unreadable file fails a strict check with 1" 1 "${out%%:*}" "$code" "${out%%:*}"
check --loose "$data/example.dat" 2> /dev/null; expect "unknown option" 2 "" "$code" "$out"
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
