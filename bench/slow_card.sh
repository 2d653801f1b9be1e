#!/bin/sh
# How long `velmora-cli program` takes to write an update (three databases
# of 21 MiB each and a chart set of 500 small files) onto a slow card:
# the tests' fault card, writing 20 MB/s in clusters of 32 KiB behind the
# kernel's writeback cache, as an SD card in a USB reader does; next to
# copying the same database and chart files onto the same card with
# `cp -r`, in the same run. Both end when the card's file system holds
# everything (`sync -f`). The goal is a ratio below 1.2: on a slow card the
# card sets the pace, not the checks around the copy.
#   bench/slow_card.sh [BUILD_DIR] [RATE_BYTES_PER_SECOND]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
build=${1:-"$root/build"}
rate=${2:-20000000}
setup "$build"
faultcard="$build/bin/velmora-faultcard"
if [ ! -x "$faultcard" ]; then
  echo "slow_card: $faultcard is missing: it is built with the tests (VELMORA_TESTS=ON)" >&2
  exit 1
fi

card="$work/card"
mkdir "$work/backing" "$card"
"$faultcard" --backing "$work/backing" --unit 32768 --capacity $((4 << 30)) --rate "$rate" \
  "$card" 2>"$work/faultcard.log" &
daemon=$!
trap 'fusermount3 -u -z "$card" 2>/dev/null; kill "$daemon" 2>/dev/null || :; wait "$daemon" || :; rm -rf "$work"' EXIT
tries=0
until mountpoint -q "$card"; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$daemon" 2>/dev/null; then
    echo "slow_card: the fault card cannot be mounted here:" >&2
    cat "$work/faultcard.log" >&2
    exit 1
  fi
  sleep 0.1
done

make_chart_update 21 500

program() {
  rm -rf "$card"/* && "$cli" program --card "$card" "$work/update/big.vlm" 2>/dev/null && sync -f "$card"
}
copy() {
  rm -rf "$card"/* && cp -r "$work/databases" "$work/update/charts" "$card/" && sync -f "$card"
}

program_against_copy "63 MiB update with 500 charts onto a card writing $rate bytes/s in 32 KiB clusters" 1.2

# Three more runs of program, their lines on standard error stamped as they
# come (by perl, so that the stamping keeps pace with the lines): the best
# whole run against the time the card itself needs for the bytes it holds
# afterwards, and the longest that "Finalizing transfer..." stood.
best_total=""
longest_finalizing=""
for _ in 1 2 3; do
  rm -rf "${card:?}"/*
  sync -f "$card"
  start=$(date +%s.%N)
  "$cli" program --card "$card" "$work/update/big.vlm" 2>&1 >/dev/null | stdbuf -o0 tr '\r' '\n' |
    perl -MTime::HiRes=time -ne '$| = 1; printf "%.6f %s", time, $_' > "$work/phases.log"
  exited=$(date +%s.%N)
  sync -f "$card"
  end=$(date +%s.%N)
  finalized=$(awk '/Finalizing transfer/ { print $1; exit }' "$work/phases.log")
  if [ -z "$finalized" ]; then
    echo "  finalizing           not seen: the run failed" >&2
    exit 1
  fi
  best_total=$(echo "$start $end ${best_total:-999999}" | awk '{ t = $2 - $1; print (t < $3 ? t : $3) }')
  longest_finalizing=$(echo "$finalized $exited ${longest_finalizing:-0}" | awk '{ t = $2 - $1; print (t > $3 ? t : $3) }')
done
bytes=$(du -sb --apparent-size "$work/backing" | cut -f1)
echo "  program, then sync   $(echo "$best_total" | awk '{ printf "%.2f", $1 }') s (best of three)"
echo "$bytes $rate $best_total" |
  awk '{ c = $1 / $2; printf "  the card alone       %.2f s for %d bytes\n  ratio                %.2f (goal: at most 1.1)\n", c, $1, $3 / c }'
echo "$longest_finalizing" | awk '{ printf "  finalizing           %.2f s at most (goal: below 2)\n", $1 }'
