#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target AVN_fuzzer AVN_region_fuzzer ERR_log_fuzzer velmora-cli

# A small real update file to start from, and its block of databases.
corpus="$build/corpus"
mkdir -p "$corpus/update-file" "$corpus/region-block" "$corpus/error-log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'navigation' > "$work/nav.bin"
printf 'terrain' > "$work/terrain.bin"
seed="$corpus/update-file/seed.vlm"
XDG_CONFIG_HOME="$work/config" "$build/bin/velmora-cli" pack -o "$seed" --device D --database N \
  --major 1 --minor 2 1="$work/nav.bin" 33="$work/terrain.bin" 4="$work/nav.bin"
info=$(XDG_CONFIG_HOME="$work/config" "$build/bin/velmora-cli" info "$seed" --json)
offset=$(echo "$info" | sed 's/.*"regionOffset":\([0-9]*\).*/\1/')
length=$(echo "$info" | sed 's/.*"regionLength":\([0-9]*\).*/\1/')
tail -c +"$((offset + 1))" "$seed" | head -c "$length" > "$corpus/region-block/seed.bin"
# An error log of two real fatal errors.
for where in "" --worker; do
  TMPDIR="$work" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/machine" \
    "$build/bin/velmora-cli" crash $where >/dev/null 2>&1 || true
done
cp "$work/Telvan Error Reporting-$(id -u)/ErrorReport.xml" "$corpus/error-log/seed.xml"

# Runs one fuzzer for half the time.
fuzz() {
  name=$1 what=$2
  status=0
  TMPDIR="$work" XDG_CONFIG_HOME="$work/config" "$build/bin/$name" -max_total_time="$((seconds / 2))" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/$name-" "$corpus/$what" \
    >"$build/$name.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$build/$name.log"
    echo "fuzz: $name failed; the input is in $build/$name-crash-*"
    exit "$status"
  fi
  echo "$name: $(grep '^stat::number_of_executed_units' "$build/$name.log")"
}

fuzz AVN_fuzzer update-file
fuzz AVN_region_fuzzer region-block
fuzz ERR_log_fuzzer error-log
