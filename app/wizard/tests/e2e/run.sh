#!/bin/sh
# The end-to-end test of velmora: the real program under Xvfb, with a session
# bus and the accessibility bus, driven through AT-SPI as a screen reader
# would (drive.py: start-up and the pages; transfer.py, in English only:
# programming cards). Screenshots of every page land in OUTPUT_DIR. The
# program speaks LANGUAGE (ENU, the default, DEU, ...: res/strings/*.txt).
#
# run.sh VELMORA VELMORA_CLI OUTPUT_DIR [LANGUAGE]
set -u
velmora=$1 cli=$2 output=$3 language=${4:-ENU}

missing=""
for tool in Xvfb dbus-launch import xdotool /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing="$missing python3-pyatspi"
if [ -n "$missing" ]; then
  echo "missing:$missing (scripts/setup.sh installs them)"
  # On CI everything must be there; elsewhere the test is skipped.
  if [ "${CI:-}" = true ]; then exit 1; fi
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
rm -rf "$output"
mkdir -p "$output"
xvfb_pid="" bus_pid="" a11y_pid=""
finish() {
  status=$?
  if [ "$status" -ne 0 ] && [ -s "$work/xvfb.log" ]; then
    echo "Xvfb said:"; cat "$work/xvfb.log"
  fi
  [ -n "$a11y_pid" ] && kill "$a11y_pid" 2>/dev/null
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  # The server is gone, its socket and lock with it, before the next one starts.
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display and tells it on descriptor 3. The screen is as
# large as a high-density one, so that the wizard at 200 % has the room it
# would have there. Two servers starting at once can both be told the same
# display, and the loser then goes away: a server that does not answer is
# stopped and another one started.
start_xvfb() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  [ -s "$work/display" ] || return 1
  DISPLAY=:$(cat "$work/display")
  export DISPLAY
  # Told is not yet serving: wait until a client gets an answer from this
  # server, not from another one on the same display.
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    xdotool getdisplaygeometry >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
started=false
for _ in 1 2 3; do
  if start_xvfb; then started=true; break; fi
  kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  sleep 0.5
done
if [ "$started" != true ]; then
  # What it said follows on the way out.
  echo "Xvfb did not start or does not answer."; exit 1
fi

eval "$(dbus-launch --sh-syntax)"
bus_pid=$DBUS_SESSION_BUS_PID
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/a11y.log" 2>&1 &
a11y_pid=$!
# A screen reader says it is there; Qt then offers its widgets on the bus.
for _ in $(seq 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null 2>&1 && break
  sleep 0.1
done
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"

status=0
/usr/bin/python3 "$(dirname "$0")/drive.py" "$velmora" "$cli" "$work" "$output" "$language" || status=1
if [ "$language" = ENU ]; then
  /usr/bin/python3 "$(dirname "$0")/transfer.py" "$velmora" "$cli" "$work" "$output" || status=1
fi
exit $status
