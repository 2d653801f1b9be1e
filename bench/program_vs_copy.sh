#!/bin/sh
# How long `velmora-cli program` takes to write a 1 GiB update (three large
# databases and a chart set of 2 000 small files) onto a card folder on
# tmpfs, next to copying the same database and chart files there with
# `cp -r`, in the same run. The goal is a ratio below 2.5: the transfer also
# copies the block of databases to the temporary folder and reads it back
# to check every database.
#   bench/program_vs_copy.sh [BUILD_DIR] [CARD_PARENT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
cards=${2:-/dev/shm}
setup "${1:-"$root/build"}"
card=$(mktemp -d "$cards/velmora-card-XXXXXX")
trap 'rm -rf "$work" "$card"' EXIT

mkdir -p "$work/databases" "$work/update/charts"
for name in avtn_db.bin terrain.tdb basemap.qza; do
  head -c $((341 * 1024 * 1024)) /dev/urandom > "$work/databases/$name"
done
head -c 160 /dev/urandom > "$work/databases/sl_tpc.dat"
i=0
while [ "$i" -lt 2000 ]; do
  head -c 4096 /dev/urandom > "$work/update/charts/chart$i.tpc"
  i=$((i + 1))
done
"$cli" pack -o "$work/update/big.vlm" --device "Bench" --database "Bench" --major 1 --minor 1 \
  1="$work/databases/avtn_db.bin" 33="$work/databases/terrain.tdb" 73="$work/databases/basemap.qza" \
  20="$work/databases/sl_tpc.dat"
cat "$work/update/big.vlm" "$work/databases/"* "$work/update/charts/"* > /dev/null

program() {
  rm -rf "$card"/* && "$cli" program --card "$card" "$work/update/big.vlm" 2>/dev/null
}
copy() {
  rm -rf "$card"/* && cp -r "$work/databases" "$work/update/charts" "$card/"
}

programmed=$(best program)
copied=$(best copy)
echo "1 GiB update with 2000 charts onto a card folder in $cards:"
echo "  velmora-cli program  ${programmed} s"
echo "  cp -r                ${copied} s"
echo "$programmed $copied" | awk '{ printf "  ratio                %.2f (goal: below 2.5)\n", $1 / $2 }'
