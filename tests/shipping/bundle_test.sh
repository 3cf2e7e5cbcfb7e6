#!/usr/bin/env bash
# Bundles the demo, refuses a broken game, and plays the bundle unpacked into
# an empty folder with nothing but DISPLAY and HOME in its environment,
# checking from /proc that the libraries and fonts it loaded are the bundle's.
set -euo pipefail
bundle_tool=$1
demo=$2  # the demo's folder, pictures and sounds included
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$tmp/broken"
printf '\xef\xbb\xbf@missing.tsl\n' >"$tmp/broken/main.tsl"
printf 'InitWindow InitWindow\n' >"$tmp/broken/funcdef.tsl"
if "$bundle_tool" "$tmp/broken" "$tmp/no" 2>"$tmp/refused.log"; then fail "a broken game was bundled"; fi
grep -q "missing.tsl" "$tmp/refused.log" || fail "the refusal does not name the error"
[ ! -e "$tmp/no" ] || fail "a refused bundle left a folder"

"$bundle_tool" "$demo" "$tmp/made/tessel-demo" --tar --icon "$demo/pic/icon.png" >"$tmp/bundle.log" 2>&1 ||
  { cat "$tmp/bundle.log"; fail "tessel-bundle"; }
mkdir "$tmp/player"
tar -xzf "$tmp/made/tessel-demo.tar.gz" -C "$tmp/player"
cd "$tmp/player/tessel-demo"
grep -q "VL-PGothic-Regular.ttf -> game/VL-PGothic-Regular.ttf" CONTENTS.txt || fail "fonts not listed"
[ -f licenses/libsdl1.2-compat/copyright ] || fail "no licence of the SDL library"

env -i DISPLAY="$DISPLAY" HOME="$tmp/player" ./tessel-demo --autoplay --choose=all \
  >"$tmp/play.log" 2>&1 &
launcher=$!
# The launcher becomes the engine (exec); each path runs in a child process.
# Sample them while they play: mapped libraries, open font files.
: >"$tmp/seen"
while kill -0 "$launcher" 2>/dev/null; do
  for pid in "$launcher" $(pgrep -P "$launcher" || true); do
    { grep -o '/[^ ]*\(libSDL\|liblua\|libfreetype\)[^ ]*$' "/proc/$pid/maps" | sort -u
      find "/proc/$pid/fd" -lname '*.ttf' -printf '%l\n'
      tr '\0' ' ' <"/proc/$pid/cmdline"; echo; } >>"$tmp/seen" 2>/dev/null || true
  done
  sleep 0.5
done
wait "$launcher" || { tail -30 "$tmp/play.log"; fail "the bundle did not play cleanly"; }
grep -q "^Problems: 0" "$tmp/play.log" || fail "the autoplay report is missing"

here=$(pwd -P)
for library in libSDL-1.2.so.0 libSDL2-2.0.so.0 libSDL_image-1.2.so.0 libSDL_ttf-2.0.so.0 \
               libSDL_mixer-1.2.so.0 liblua5.1.so.0 libfreetype.so.6; do
  grep -q "/$library\$" "$tmp/seen" || fail "$library was never loaded"
  if grep "/$library\$" "$tmp/seen" | grep -qv "^$here/lib/"; then
    fail "$library came from the system: $(grep "/$library\$" "$tmp/seen" | sort -u)"
  fi
done
grep -q "^$here/game/VL-PGothic-Regular.ttf\$" "$tmp/seen" || fail "the bundled font was not read"
if grep '\.ttf$' "$tmp/seen" | grep -qv "^$here/game/"; then
  fail "a font came from the system: $(grep '\.ttf$' "$tmp/seen" | sort -u)"
fi
grep -q -- "--power-save" "$tmp/seen" || fail "the launcher did not turn on --power-save"
echo "bundle played from $here with its own libraries and fonts"
