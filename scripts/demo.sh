#!/bin/sh
# The main job on a fresh machine: install what is needed, build, and run.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
"$root/build/bin/velmora-cli" --version
