#!/bin/sh
# Configures and builds Velmora with Ninja.
#   scripts/build.sh [BUILD_DIR] [extra CMake options...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
[ $# -gt 0 ] && shift
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build"
