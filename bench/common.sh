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
