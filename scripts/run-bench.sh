#!/usr/bin/env bash
# Runs every benchmark (under Xvfb when there is no display).
set -euo pipefail
build_dir=${1:-build/bench}
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
run_all() {
  for b in $(find "$build_dir/bench" -maxdepth 1 -type f -executable -name 'bench_*' | sort); do
    echo "== $(basename "$b")"
    "$b" "$@"
  done
}
if [ -z "${DISPLAY:-}" ]; then
  export -f run_all; export build_dir
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c 'run_all "$@"' _ "$@"
else
  run_all "$@"
fi
