#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run again:
# when everything is present it does nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine64 xvfb xauth fonts-liberation imagemagick
  libsndfile1-dev libcairo2-dev libfontconfig-dev
  libx11-dev libxtst-dev
  zip unzip
  dragonfly-reverb-vst
  ardour sox ladspa-sdk tap-plugins
  lv2-dev lilv-utils sordi
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
