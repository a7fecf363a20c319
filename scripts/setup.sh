#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Idempotent; run as root.
set -euo pipefail
packages=(
  cmake ninja-build pkg-config ccache g++ make
  libcegui-mk2-dev libcegui-mk2-data fonts-cegui fonts-dejavu-core
  libtinyxml-dev libutfcpp-dev liblua5.1-0-dev
  libsdl2-dev libglew-dev libgl-dev libpng-dev libjpeg-dev
  xvfb xauth libgl1-mesa-dri xfonts-base libx11-dev libxfixes-dev
  libbullet-dev libcurl4-openssl-dev libssl-dev
  libsndfile1-dev libopenal-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
