#!/bin/sh
# How long `velmora-cli info` takes to check a 1 GiB update file from the
# page cache, next to reading the same file with cat, in the same run.
# The goal is a ratio below 1.3.
#   bench/info_vs_cat.sh [BUILD_DIR] [SIZE_MIB]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
size=${2:-1024}
setup "${1:-"$root/build"}"
make_update "$cli" "$work" "$size"

info=$(best "$cli" info "$work/big.vlm")
read_=$(best cat "$work/big.vlm")
echo "$size MiB update file from the page cache:"
echo "  velmora-cli info  ${info} s"
echo "  cat               ${read_} s"
echo "$info $read_" | awk '{ printf "  ratio             %.2f (goal: below 1.3)\n", $1 / $2 }'
