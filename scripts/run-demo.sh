#!/usr/bin/env bash
# Builds the bundled game and plays it.
set -euo pipefail
build_dir=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/demo"
exec "$root/$build_dir/src/tessel" main.tsl
