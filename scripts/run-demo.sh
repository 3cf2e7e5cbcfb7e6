#!/usr/bin/env bash
# Plays the bundled game from its archive (the build packs demo/game into main.dat).
set -euo pipefail
build_dir=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/$build_dir/demo"
exec "$root/$build_dir/src/tessel" main.tsl
