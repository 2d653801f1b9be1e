#!/bin/sh
# Checks velmora-cli from outside: its output and exit codes.
#   cli_test.sh PATH_TO_VELMORA_CLI
set -u
cli=$1
failures=0

# Settings written on the way go to a folder of this run, not to the user's.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

check() {
  name=$1 expected_status=$2 expected_output=$3
  shift 3
  output=$("$@" 2>&1)
  status=$?
  if [ "$status" -ne "$expected_status" ]; then
    echo "FAIL $name: exit $status, expected $expected_status"
    failures=$((failures + 1))
  elif ! printf '%s\n' "$output" | grep -q -- "$expected_output"; then
    echo "FAIL $name: output did not match '$expected_output':"
    printf '%s\n' "$output"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

check version 0 '^Velmora [0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*' "$cli" --version
check help 0 '^Usage: velmora-cli COMMAND' "$cli" --help
check no-command 2 '^Usage: velmora-cli COMMAND' "$cli"
check unknown-command 2 "unknown command 'frobnicate'" "$cli" frobnicate

exit "$failures"
