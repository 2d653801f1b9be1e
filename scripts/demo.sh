#!/bin/sh
# The main job on a fresh machine: install what is needed, build, make a
# sample update from a few small databases and check it as the wizard would.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

cli="$root/build/bin/velmora-cli"
demo="$root/build/demo"
mkdir -p "$demo"
"$cli" --version

# Stand-ins for real databases: navigation data, terrain, obstacles and a
# base map, each a kind the avionics knows.
head -c 200000 /dev/urandom > "$demo/avtn_db.bin"
head -c 500000 /dev/urandom > "$demo/terrain.tdb"
head -c 80000 /dev/urandom > "$demo/standard.odb"
head -c 120000 /dev/urandom > "$demo/basemap.qza"
"$cli" pack -o "$demo/sample.vlm" --device "Skyline 400" --database "North Atlantic" --major 26 --minor 3 \
  1="$demo/avtn_db.bin" 33="$demo/terrain.tdb" 38="$demo/standard.odb" 73="$demo/basemap.qza"
echo "Made $demo/sample.vlm:"
"$cli" info "$demo/sample.vlm"
