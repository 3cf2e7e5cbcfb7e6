#!/usr/bin/env bash
# Installs the Debian packages Tessel needs to build, test and run its demo.
# Does nothing when everything is already there, so `make` can call it every time.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config
  # the SDL 1.2 API running on SDL2; the shim keeps apt from pulling the old
  # classic library in for the image, font and mixer packages
  libsdl1.2-compat-dev libsdl1.2-compat-shim
  libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev
  libgl1-mesa-dev libglu1-mesa-dev libx11-dev
  # picture decoders the engine calls directly
  libpng-dev libjpeg62-turbo-dev libgif-dev
  liblua5.1-0-dev lua5.1-doc
  libfontconfig-dev zlib1g-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils x11-apps xdotool libgl1-mesa-dri mesa-utils imagemagick
  # fonts used by tests and the demo
  fonts-dejavu-core fonts-vlgothic fonts-ipafont-gothic
  # demo asset generators
  python3 python3-pil python3-numpy
  # manual pages, the Debian package, bundles (ldd and dpkg-query come with
  # the base system)
  help2man man-db dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
