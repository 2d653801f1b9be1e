#!/bin/sh
# Makes Velmora's Debian package from a build tree: builds what goes into it
# (nothing when the tree is built already), then runs CPack. Prints the
# package's path.
#   scripts/package.sh [BUILD_DIR] [OUTPUT_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
output=${2:-"$build/package"}
if [ ! -f "$build/CPackConfig.cmake" ]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target velmora velmora-cli velmora_language_modules velmora_desktop >/dev/null
mkdir -p "$output"
log="$output/cpack.log"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$output" >"$log" 2>&1; then
  cat "$log"
  exit 1
fi
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$log"
rm -rf "$output/_CPack_Packages" "$log"
