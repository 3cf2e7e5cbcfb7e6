#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR, checks what landed where (and
# that `man` reads the page), packs that tree with the project's CPack
# configuration into a .deb, extracts it and plays the packed demo with the
# extracted engine.
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/stage" cmake --install "$build" --prefix /usr/local >"$tmp/install.log" ||
  { cat "$tmp/install.log"; fail "cmake --install"; }
root=$tmp/stage/usr/local
for file in bin/tessel bin/tessel-pack bin/tessel-check bin/tessel-bundle \
            share/doc/tessel/guide.md share/doc/tessel/commands.md share/doc/tessel/formats.md \
            share/man/man1/tessel.1 share/man/man1/tessel-pack.1 share/man/man1/tessel-check.1 \
            share/man/man1/tessel-bundle.1 share/tessel/demo/main.dat \
            share/tessel/editor/vim/syntax/tsl.vim share/tessel/editor/vscode/package.json; do
  [ -e "$root/$file" ] || fail "the install left out $file"
done
MANWIDTH=100 man -l "$root/share/man/man1/tessel.1" 2>/dev/null >"$tmp/man.txt"
grep -q -- "--autoplay" "$tmp/man.txt" || fail "man tessel does not show the options"

# The package of the installed tree, made as `make package` makes it (the
# same CPack configuration, dependencies from dpkg-shlibdeps), uncompressed
# to save time.
DESTDIR="$tmp/deb-root" cmake --install "$build" --prefix /usr >/dev/null
(cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" \
   -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$tmp/deb-root;." \
   -D CPACK_DEBIAN_COMPRESSION_TYPE=none) >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/pkg/tessel_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl-image1.2 liblua5.1-0 libfontconfig1; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$tmp/x"
"$tmp/x/usr/bin/tessel" --autoplay "$tmp/x/usr/share/tessel/demo/main.dat" >"$tmp/play.log" 2>&1 ||
  { tail -30 "$tmp/play.log"; fail "the packaged demo did not play cleanly"; }
grep -q "^Problems: 0" "$tmp/play.log" || fail "the autoplay report is missing"
echo "installed, packaged ($(du -h "$deb" | cut -f1)) and played"
