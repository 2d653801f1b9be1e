#!/bin/sh
# Checks velmora-cli from outside: what it prints and its exit codes.
#   cli_test.sh PATH_TO_VELMORA_CLI
set -u
cli=$1
failures=0
work=$(mktemp -d)
# Settings written on the way go to a folder of this run, not to the user's.
XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_HOME
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# expect NAME STATUS STDOUT STDERR COMMAND...: both outputs exactly as given.
expect() {
  name=$1 status=$2 out=$3 err=$4
  shift 4
  "$@" >"$work/out" 2>"$work/err"
  got=$?
  if [ "$got" -ne "$status" ]; then
    echo "FAIL $name: exit $got, expected $status"; cat "$work/err"
    failures=$((failures + 1))
  elif [ "$(cat "$work/out")" != "$out" ] || [ "$(cat "$work/err")" != "$err" ]; then
    echo "FAIL $name:"; echo "--- stdout:"; cat "$work/out"; echo "--- stderr:"; cat "$work/err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# like NAME STATUS PATTERN COMMAND...: the status, and a line of either output
# matching the pattern.
like() {
  name=$1 status=$2 pattern=$3
  shift 3
  output=$("$@" 2>&1)
  got=$?
  if [ "$got" -ne "$status" ] || ! printf '%s\n' "$output" | grep -q -- "$pattern"; then
    echo "FAIL $name: exit $got (expected $status), output:"; printf '%s\n' "$output"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

like version 0 '^Velmora [0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*' "$cli" --version
like help 0 '^Usage: velmora-cli COMMAND' "$cli" --help
like no-command 2 '^Usage: velmora-cli COMMAND' "$cli"
like unknown-command 2 "unknown command 'frobnicate'" "$cli" frobnicate

printf 'navigation data' > nav.bin
printf 'terrain' > terrain.tdb
expect pack 0 '' '' "$cli" pack -o update.vlm --device "Skyline 400" --database "North Atlantic" \
  --major 8 --minor 13 1=nav.bin 33=terrain.tdb
expect info 0 'Device: Skyline 400
Database: North Atlantic
Cycle: 0813
Region: offset 89 length 73' '' "$cli" info update.vlm
expect info-json 0 '{"device":"Skyline 400","database":"North Atlantic","cycle":"0813","regionOffset":89,"regionLength":73}' '' \
  "$cli" info --json update.vlm

cp update.vlm corrupt.vlm
printf 'X' | dd of=corrupt.vlm bs=1 seek=120 conv=notrunc 2>/dev/null
expect corrupt 1 '' 'The input file is corrupted, please get a new copy of the file and try again.' "$cli" info corrupt.vlm
expect missing 1 '' 'Unable to open the input file, please check the file and try again.' "$cli" info missing.vlm
expect short-path 1 '' 'The update file command line parameter was missing, please try again with the valid file path name.' \
  "$cli" info .vlm
expect extension 1 '' 'The update file command line parameter has an unrecognized extension, please try again with the valid file path name.' \
  "$cli" info update.bin
like configuration-file 2 "is not an update file" "$cli" info card.ini

like pack-needs-output 2 'needs -o' "$cli" pack --device D --database N --major 1 --minor 1
like pack-bad-number 2 'needs a number' "$cli" pack -o x.vlm --device D --database N --major x --minor 1
like pack-bad-kind 2 'needs a number up to 65535' "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 70000=nav.bin
like pack-not-ascii 2 'plain ASCII' "$cli" pack -o x.vlm --device "Caf$(printf '\303\251')" --database N --major 1 --minor 1
expect pack-missing-database 1 '' "velmora-cli: cannot read or write $work/none.bin" \
  "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 1="$work/none.bin"
if [ -e x.vlm ] || [ -e x.vlm.part ]; then
  echo "FAIL pack-missing-database: left a file behind"; failures=$((failures + 1))
fi

exit "$failures"
