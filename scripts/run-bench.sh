#!/usr/bin/env bash
# Runs every benchmark (under Xvfb when there is no display).
set -euo pipefail
build_dir=${1:-build/bench}
shift || true
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
for b in $(find "$build_dir/bench" -maxdepth 1 -type f -executable -name 'bench_*' | sort); do
  echo "== $(basename "$b")"
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$b" "$@"
  else
    "$b" "$@"
  fi
done
