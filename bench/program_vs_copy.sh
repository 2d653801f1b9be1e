#!/bin/sh
# How long `velmora-cli program` takes to write a 1 GiB update (three large
# databases and a chart set of 2 000 small files) onto a card folder on
# tmpfs, next to copying the same database and chart files there with
# `cp -r`, in the same run. The goal is a ratio below 2.0: the transfer also
# checks the update's signature, copies the block of databases to the
# temporary folder (taking every database's checksum on the way) and
# deletes the copy at the end.
#   bench/program_vs_copy.sh [BUILD_DIR] [CARD_PARENT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
cards=${2:-/dev/shm}
setup "${1:-"$root/build"}"
card=$(mktemp -d "$cards/velmora-card-XXXXXX")
trap 'rm -rf "$work" "$card"' EXIT

make_chart_update 341 2000

program() {
  rm -rf "$card"/* && "$cli" program --card "$card" "$work/update/big.vlm" 2>/dev/null
}
copy() {
  rm -rf "$card"/* && cp -r "$work/databases" "$work/update/charts" "$card/"
}

program_against_copy "1 GiB update with 2000 charts onto a card folder in $cards" 2.0
