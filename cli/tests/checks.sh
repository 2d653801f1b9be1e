# The checks of the velmora-cli shell tests, sourced by each of them after
# setting cli: each test runs in a fresh folder "$work", the current one,
# removed at exit (after the test's own finish function, when it has one),
# with the settings written on the way, the machine's settings, temporary
# files and the error log kept there, not in the user's or the machine's;
# "$failures" counts what fails, and is the test's exit code.
set -u
failures=0
work=$(mktemp -d)
XDG_CONFIG_HOME=$work/config
XDG_CONFIG_DIRS=$work/machine
TMPDIR=$work/tmp
export XDG_CONFIG_HOME XDG_CONFIG_DIRS TMPDIR
mkdir -p "$TMPDIR"
trap 'command -v finish >/dev/null && finish; rm -rf "$work"' EXIT
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

# skip NAME WHY: the machine does not allow what the check needs (a mount,
# /dev/full). In CI (CI=true, run as root) all of it is allowed, so a skip
# there is a failure: a missing privilege never hides a check.
skip() {
  if [ "${CI:-}" = true ]; then
    echo "FAIL $1: CI must allow what this check needs (as root): $2"
    failures=$((failures + 1))
  else
    echo "skip $1: $2"
  fi
}

# full NAME STDERR COMMAND...: standard output cannot take a byte (/dev/full):
# exit 1, and standard error exactly as given, ending in the write error.
full() {
  name=$1 err=$2
  shift 2
  if [ ! -w /dev/full ]; then
    skip "$name" "no /dev/full"
    return
  fi
  "$@" >/dev/full 2>"$work/err"
  got=$?
  if [ "$got" -ne 1 ] || [ "$(cat "$work/err")" != "$err" ]; then
    echo "FAIL $name: exit $got, expected 1; stderr:"; cat "$work/err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}
