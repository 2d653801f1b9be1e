#!/bin/sh
# How long `velmora-cli verify` takes on a 1 GiB update file from the page
# cache (the signature checked, the block copied to the temporary folder
# with every database's checksum taken on the way, the copy deleted), next
# to copying the file into the temporary folder, reading the copy back and
# deleting it, in the same run. The goal is a ratio below 1.3.
#   bench/verify_vs_copy.sh [BUILD_DIR] [SIZE_MIB]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
size=${2:-1024}
setup "${1:-"$root/build"}"
make_update "$cli" "$work" "$size"
export TMPDIR="$work/tmp"
mkdir "$TMPDIR"

copy_and_read() {
  cp "$1" "$TMPDIR/x" && cat "$TMPDIR/x" > /dev/null && rm "$TMPDIR/x"
}

verify=$(best "$cli" verify "$work/big.vlm")
copy=$(best copy_and_read "$work/big.vlm")
echo "$size MiB update file from the page cache, temporary folder $TMPDIR:"
echo "  velmora-cli verify  ${verify} s"
echo "  cp, then cat        ${copy} s"
echo "$verify $copy" | awk '{ printf "  ratio               %.2f (goal: below 1.3)\n", $1 / $2 }'
