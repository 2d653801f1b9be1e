#!/bin/sh
# How long `velmora-cli info` takes to check a 1 GiB update file from the
# page cache, next to reading the same file with cat, in the same run.
# The goal is a ratio below 1.3.
#   bench/info_vs_cat.sh [BUILD_DIR] [SIZE_MIB]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
size=${2:-1024}
cli="$build/bin/velmora-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

head -c $((size * 1024 * 1024)) /dev/urandom > "$work/terrain.tdb"
"$cli" pack -o "$work/big.vlm" --device "Bench" --database "Bench" --major 1 --minor 1 33="$work/terrain.tdb"
rm "$work/terrain.tdb"
cat "$work/big.vlm" > /dev/null  # into the page cache

# The best of five runs of a command, in seconds.
best() {
  best=""
  for _ in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    best=$(echo "$start $end ${best:-999999}" | awk '{ t = $2 - $1; print (t < $3 ? t : $3) }')
  done
  echo "$best"
}

info=$(best "$cli" info "$work/big.vlm")
read_=$(best cat "$work/big.vlm")
echo "$size MiB update file from the page cache:"
echo "  velmora-cli info  ${info} s"
echo "  cat               ${read_} s"
echo "$info $read_" | awk '{ printf "  ratio             %.2f (goal: below 1.3)\n", $1 / $2 }'
