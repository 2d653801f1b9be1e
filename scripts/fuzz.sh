#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target AVN_fuzzer velmora-cli

# A small real update file to start from.
corpus="$build/corpus/update-file"
mkdir -p "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'navigation' > "$work/nav.bin"
XDG_CONFIG_HOME="$work/config" "$build/bin/velmora-cli" pack -o "$corpus/seed.vlm" --device D --database N \
  --major 1 --minor 2 1="$work/nav.bin"

status=0
TMPDIR="$work" XDG_CONFIG_HOME="$work/config" "$build/bin/AVN_fuzzer" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/" "$corpus" >"$build/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$build/fuzz.log"
  echo "fuzz: the update-file loader failed; the input is in $build/crash-*"
  exit "$status"
fi
grep '^stat::number_of_executed_units' "$build/fuzz.log"
