#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run again, and offline
# once everything is there: it asks the package servers only when something is missing, and
# an optional package this machine could not get once is not asked for again (delete
# /var/lib/hallmere-setup/refused to try again).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine64 xvfb xauth fonts-liberation imagemagick
  libsndfile1-dev libcairo2-dev libfontconfig-dev
  libx11-dev libxtst-dev
  zip unzip
  lintian dpkg-dev bsdutils python3-matplotlib
  dragonfly-reverb-vst
  ardour sox ladspa-sdk tap-plugins
  g++-aarch64-linux-gnu qemu-user
  libcairo2-dev:arm64 libx11-dev:arm64 libfontconfig-dev:arm64 libgtest-dev:arm64 libsndfile1-dev:arm64
  lv2-dev:arm64
  lv2-dev lilv-utils sordi
  qtractor
  nsis
  emscripten chromium nodejs
)

# The i686 DLL's tests run under wine32, from Debian's i386 architecture.
optional=(wine32:i386)

refused=/var/lib/hallmere-setup/refused
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# The web page's test tooling comes from npm (tools/web, npm ci); some node packages carry
# their own npm, so the command is what counts.
command -v npm >/dev/null || missing+=(npm)
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" || grep -qxF "$p" "$refused" 2>/dev/null || missing_optional+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
# The aarch64 build takes its libraries from Debian's arm64 packages, beside the native ones.
dpkg --print-foreign-architectures | grep -qx arm64 || $SUDO dpkg --add-architecture arm64
if [ ${#missing_optional[@]} -ne 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
if [ ${#missing[@]} -ne 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Some kernels refuse 32-bit programs, and the package may not install there: the 32-bit
# runtime tests then skip and say why, so this is no reason to stop.
if [ ${#missing_optional[@]} -ne 0 ]; then
  echo "setup: installing ${missing_optional[*]}"
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" >/dev/null; then
    echo "setup: could not install ${missing_optional[*]}: the 32-bit Windows runtime tests will be skipped"
    $SUDO mkdir -p "$(dirname "$refused")"
    printf '%s\n' "${missing_optional[@]}" | $SUDO tee -a "$refused" >/dev/null
  fi
fi
