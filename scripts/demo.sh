#!/bin/sh
# The main job on a fresh machine: install what is needed, build, make a
# sample update from a few small databases with a chart set beside it, and
# program it onto a demo card folder as the wizard would.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

cli="$root/build/bin/velmora-cli"
demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/databases" "$demo/update/charts" "$demo/card"
"$cli" --version

# Stand-ins for real databases: navigation data, terrain, obstacles, a base
# map and a chart index, each a kind the avionics knows; and the charts that
# travel beside the update file.
head -c 200000 /dev/urandom > "$demo/databases/avtn_db.bin"
head -c 500000 /dev/urandom > "$demo/databases/terrain.tdb"
head -c 80000 /dev/urandom > "$demo/databases/standard.odb"
head -c 120000 /dev/urandom > "$demo/databases/basemap.qza"
head -c 160 /dev/urandom > "$demo/databases/sl_tpc.dat"
for chart in KSEA-ILS16L KSEA-RNAV34R KPDX-ILS10R; do
  head -c 40000 /dev/urandom > "$demo/update/charts/$chart.tpc"
done
"$cli" pack -o "$demo/update/sample.vlm" --device "Skyline 400" --database "North Atlantic" --major 26 --minor 3 \
  1="$demo/databases/avtn_db.bin" 20="$demo/databases/sl_tpc.dat" 33="$demo/databases/terrain.tdb" \
  38="$demo/databases/standard.odb" 73="$demo/databases/basemap.qza"
echo "Made $demo/update/sample.vlm:"
"$cli" info "$demo/update/sample.vlm"
echo
echo "Programming it onto the card folder $demo/card:"
"$cli" program --card "$demo/card" "$demo/update/sample.vlm"
echo
echo "The card now holds:"
(cd "$demo/card" && find . -type f | sort | sed 's|^\./|  |')
