#!/usr/bin/env bash
# Runs the whole suite. Window tests need an X server: without DISPLAY, one is
# started with xvfb-run. OpenGL is Mesa's software renderer, so pixels read back exactly.
set -euo pipefail
build_dir=${1:-build/test}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)

export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# intercept_tls_get_addr=0: the leak checker otherwise trips over thread-local
# storage of the GL driver, which the media layer unloads at exit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:intercept_tls_get_addr=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

ctest_cmd=(ctest --test-dir "$build_dir" -j"$(nproc)" --output-on-failure --no-tests=error "$@")
if [ -z "${DISPLAY:-}" ]; then
  # xvfb-run is a plain sh script: hand it the command, not a shell function.
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "${ctest_cmd[@]}"
else
  "${ctest_cmd[@]}"
fi
