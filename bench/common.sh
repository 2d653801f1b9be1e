# What the benchmarks share; sourced, not run.

# setup BUILD_DIR: sets cli to the build's velmora-cli and work to a fresh
# folder removed at exit, and keeps the settings written on the way there.
setup() {
  cli="$1/bin/velmora-cli"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export XDG_CONFIG_HOME="$work/config"
}

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

# make_update CLI FOLDER SIZE_MIB: FOLDER/big.vlm, one terrain database of
# random bytes, left in the page cache.
make_update() {
  head -c $(($3 * 1024 * 1024)) /dev/urandom > "$2/terrain.tdb"
  "$1" pack -o "$2/big.vlm" --device "Bench" --database "Bench" --major 1 --minor 1 33="$2/terrain.tdb"
  rm "$2/terrain.tdb"
  cat "$2/big.vlm" > /dev/null
}

# make_chart_update DATABASE_MIB CHARTS: three databases of DATABASE_MIB
# each in $work/databases, a chart index and CHARTS charts of 4 KiB in
# $work/update/charts, packed into $work/update/big.vlm with $cli; all of it
# left in the page cache.
make_chart_update() {
  mkdir -p "$work/databases" "$work/update/charts"
  for name in avtn_db.bin terrain.tdb basemap.qza; do
    head -c $(($1 * 1024 * 1024)) /dev/urandom > "$work/databases/$name"
  done
  head -c 160 /dev/urandom > "$work/databases/sl_tpc.dat"
  i=0
  while [ "$i" -lt "$2" ]; do
    head -c 4096 /dev/urandom > "$work/update/charts/chart$i.tpc"
    i=$((i + 1))
  done
  "$cli" pack -o "$work/update/big.vlm" --device "Bench" --database "Bench" --major 1 --minor 1 \
    1="$work/databases/avtn_db.bin" 33="$work/databases/terrain.tdb" 73="$work/databases/basemap.qza" \
    20="$work/databases/sl_tpc.dat"
  cat "$work/update/big.vlm" "$work/databases/"* "$work/update/charts/"* > /dev/null
}

# program_against_copy TITLE GOAL: the best times of the functions program
# and copy, and their ratio against the goal.
program_against_copy() {
  programmed=$(best program)
  copied=$(best copy)
  echo "$1:"
  echo "  velmora-cli program  ${programmed} s"
  echo "  cp -r                ${copied} s"
  echo "$programmed $copied $2" | awk '{ printf "  ratio                %.2f (goal: below %s)\n", $1 / $2, $3 }'
}
