#!/usr/bin/env bash
# Runs the whole suite. Window tests need an X server: without DISPLAY, one is
# started with xvfb-run. OpenGL is Mesa's software renderer, so pixels read back exactly.
set -euo pipefail
build_dir=${1:-build/test}
root=$(cd "$(dirname "$0")/.." && pwd)

export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_ctest() {
  ctest --test-dir "$build_dir" -j"$(nproc)" --output-on-failure --no-tests=error "$@"
}

if [ -z "${DISPLAY:-}" ]; then
  export -f run_ctest
  export build_dir
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c 'run_ctest "$@"' _ "$@"
else
  run_ctest "$@"
fi
