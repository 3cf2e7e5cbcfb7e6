#!/usr/bin/env bash
# Measures the engine's idle memory against an empty SDL OpenGL window, in
# one run under one X server, both with the same GL driver (Mesa's software
# rasteriser unless LIBGL_ALWAYS_SOFTWARE says otherwise) and the same audio
# driver (dummy unless SDL_AUDIODRIVER says otherwise):
#   - the empty window (tools/footprint-window.cpp), 800x600;
#   - the same window drawing one 800x600 picture as the engine draws a
#     layer: what the GL driver itself takes for drawing pictures;
#   - a small 800x600 game made here: a picture, music, a font and a message
#     window that types a page and waits;
#   - the demo, resting at its first choice.
# The number is the resident set size (RSS, from /proc/PID/smaps_rollup) after
# the process has settled, the median of a few samples; shared pages count in
# full, so the figures do not depend on what else runs.
# Usage: tools/measure-footprint.sh [--detail] [--limit MiB] [build-dir]
#   build-dir  default build/release (configured as `make build` does when
#              missing); the script builds the targets it needs.
#   --detail   also splits the game's difference into heap and libraries, and
#              lists the mappings that differ by 256 KiB or more.
#   --limit N  exit status 1 when the game takes more than N MiB above the
#              empty window.
# Starts Xvfb when DISPLAY is unset.
set -euo pipefail
detail=0
limit=""
build_dir=build/release
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --detail) detail=1 ;;
    --limit) limit=${2:?--limit needs a number of MiB}; shift ;;
    -*) echo "measure-footprint: unknown option $1" >&2; exit 2 ;;
    *) build_dir=$1 ;;
  esac
  shift
done
root=$(cd "$(dirname "$0")/.." && pwd)
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac

if [ -z "${FOOTPRINT_BUILT:-}" ]; then
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTESSEL_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$build_dir" -j"$(nproc)" --target tessel tessel-footprint-window demo_game \
    >/dev/null
fi
export FOOTPRINT_BUILT=1
if [ -z "${DISPLAY:-}" ]; then
  args=("$build_dir")
  [ "$detail" = 1 ] && args+=(--detail)
  [ -n "$limit" ] && args+=(--limit "$limit")
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "${args[@]}"
fi
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

exec python3 "$root/tools/footprint.py" --build "$build_dir" --source "$root" \
  --detail "$detail" --limit "${limit:-0}"
