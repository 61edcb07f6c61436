#!/usr/bin/env bash
# Release files for musicians, in out/release/:
#   Hallmere-VERSION-windows-setup.exe     the Windows installer: VST 3, CLAP and VST 2.x for
#                                          64- and 32-bit hosts, with an uninstaller
#   Hallmere-VERSION-windows-x64.zip       Hallmere.dll (VST 2.x) for 64-bit Windows hosts
#   Hallmere-VERSION-windows-x86.zip       Hallmere.dll (VST 2.x) for 32-bit Windows hosts
#   Hallmere-VERSION-linux-x86_64.tar.gz   every Linux format: Hallmere.vst3, Hallmere.clap,
#   Hallmere-VERSION-linux-aarch64.tar.gz  Hallmere.lv2 and Hallmere.so (VST 2.x)
#   hallmere_VERSION_amd64.deb             the Debian packages of the Linux builds, every
#   hallmere_VERSION_arm64.deb             format in /usr/lib/{vst3,clap,lv2,lxvst}
# each archive with INSTALL.txt, README.txt, LICENSE.txt and THIRD_PARTY.md. Builds what
# it needs with the win64, win32, release and aarch64 presets, in trees of its own
# (PACKAGE_BUILD_DIR, default build/package), so that a developer's build trees are left
# alone.
#
#   tools/package.sh        everything
#   tools/package.sh deb    the amd64 Debian package alone (the Linux x86_64 build only)
set -euo pipefail
mode=${1:-all}
case "$mode" in
all | deb) ;;
*) echo "usage: tools/package.sh [deb]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
builds=${PACKAGE_BUILD_DIR:-$root/build/package}
out=$root/out/release

bash tools/setup.sh

version=$(sed -n 's/^project(Hallmere VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "package: no version in CMakeLists.txt" >&2
  exit 1
fi
# Archive entries carry the time of the last commit, so the same sources give the same bytes.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)

build() {  # build PRESET TARGET...: configures and builds the plug-ins alone, prints the build tree
  local tree=$builds/$1
  shift
  cmake --preset "$(basename "$tree")" -B "$tree" >"$tree.configure.log" 2>&1 ||
    { cat "$tree.configure.log" >&2; exit 1; }
  cmake --build "$tree" --target "$@" -j "$jobs" >&2
  echo "$tree"
}

mkdir -p "$builds"
echo "==== Building Hallmere $version"
formats=(Hallmere hallmere_vst3 hallmere_clap)
linux_formats=("${formats[@]}" hallmere_lv2 hallmere_lv2_ui)
if [ "$mode" = all ]; then
  win64=$(build win64 "${formats[@]}")
  win32=$(build win32 "${formats[@]}")
  arm=$(build aarch64 "${linux_formats[@]}")
fi
linux=$(build release "${linux_formats[@]}")

# Each binary must be what its archive says it is.
# (Whole outputs are captured first: grep -q ending a pipe early would fail it.)
check_format() {  # check_format FILE OBJDUMP FORMAT
  local header
  header=$("$2" -f "$1")
  if ! grep -q "file format $3\$" <<<"$header"; then
    echo "package: $1 is not $3" >&2
    exit 1
  fi
}
# check_linux TREE TOOL-PREFIX FORMAT MACHINE: every Linux binary, and the VST 2.x entries.
check_linux() {
  local f exports entry
  for f in plugin/Hallmere.so lv2/Hallmere.lv2/hallmere.so lv2/Hallmere.lv2/hallmere_ui.so clap/Hallmere.clap \
    "vst3/Hallmere.vst3/Contents/$4-linux/Hallmere.so"; do
    check_format "$1/$f" "${2}objdump" "$3"
  done
  exports=$("${2}nm" -D --defined-only "$1/plugin/Hallmere.so")
  for entry in VSTPluginMain main; do
    grep -q " T $entry\$" <<<"$exports" ||
      { echo "package: $1/plugin/Hallmere.so does not export $entry" >&2; exit 1; }
  done
}
if [ "$mode" = all ]; then
  check_format "$win64/plugin/Hallmere.dll" x86_64-w64-mingw32-objdump pei-x86-64
  check_format "$win32/plugin/Hallmere.dll" i686-w64-mingw32-objdump pei-i386
  check_linux "$arm" aarch64-linux-gnu- elf64-littleaarch64 aarch64
fi
check_linux "$linux" "" elf64-x86-64 x86_64

readme() {  # readme PLATFORM-TEXT FORMATS-TEXT
  cat <<EOF
Hallmere $version - stereo reverb, $2 ($1)
by Tovik

A stereo hall and room reverb: band-limited input, four allpass diffusers, an early
reflection and a late network of four damped delay lines, with a gate and a dry switch.
Thirteen automatable parameters, eight factory programs and a 448 x 251 pixel panel.

Two inputs, two outputs. Your host stores the settings with its project; the plug-in
writes no files of its own.

Copyright (c) 2026 Tovik. Free software under the MIT licence: see LICENSE.txt. The
libraries the plug-in uses and their licences are listed in THIRD_PARTY.md.
EOF
}

install_windows() {  # install_windows BITS
  cat <<EOF
Installing Hallmere on Windows ($1-bit)
=======================================

1. Close your host (sequencer or audio editor).
2. Copy Hallmere.dll into the folder where your host looks for VST 2 plug-ins, for example
     C:\\Program Files\\VSTPlugins
     C:\\Program Files\\Steinberg\\VSTPlugins
   or whichever folder is set in the host's plug-in preferences.
3. Start the host and let it scan for new plug-ins; Hallmere appears as an effect by Tovik.

Which archive: the DLL must match the host, not Windows. A 64-bit host loads only the
64-bit DLL (windows-x64 archive); a 32-bit host loads only the 32-bit DLL (windows-x86
archive). 32-bit hosts on 64-bit Windows usually use C:\\Program Files (x86)\\VSTPlugins.

The DLL needs nothing else: no runtime to install, no registry entries. To remove
Hallmere, delete Hallmere.dll.

The installer Hallmere-VERSION-windows-setup.exe puts Hallmere in every format (VST 3,
CLAP and VST 2.x, 64-bit and 32-bit) where hosts look, and can remove it again.
EOF
}

install_linux() {  # install_linux MACHINE DEBIAN-ARCHITECTURE
  cat <<EOF
Installing Hallmere on Linux ($1)
=====================================

This archive holds Hallmere in every format a Linux host loads; a host needs just one.
Copy the one your host uses into a folder it scans, yours alone or every user's (root):

  format    copy this                  just for you   every user
  VST 3     Hallmere.vst3 (a folder)   ~/.vst3        /usr/local/lib/vst3
  CLAP      Hallmere.clap              ~/.clap        /usr/local/lib/clap
  LV2       Hallmere.lv2 (a folder)    ~/.lv2         /usr/local/lib/lv2
  VST 2.x   Hallmere.so                ~/.vst         /usr/local/lib/vst

for example
  mkdir -p ~/.vst3 && cp -r Hallmere.vst3 ~/.vst3/
  mkdir -p ~/.clap && cp Hallmere.clap ~/.clap/

Hosts also search the folders listed in VST3_PATH, CLAP_PATH, LV2_PATH and LXVST_PATH or
VST_PATH, and most let you add folders in their plug-in preferences. Then restart the host
or let it rescan its plug-ins; Hallmere appears as an effect by Tovik.

The panel is an X11 window inside the host's window. The plug-ins use libraries every
desktop has: Cairo, fontconfig and Xlib (Debian and Ubuntu: libcairo2, libfontconfig1,
libx11-6). The panel's text is drawn in Liberation Sans (fonts-liberation) where installed.

To remove Hallmere, delete what you copied.

On Debian and Ubuntu the package hallmere_VERSION_$2.deb does all of this for every user,
with every format in /usr/lib/vst3, /usr/lib/clap, /usr/lib/lv2 and /usr/lib/lxvst:
  sudo apt install ./hallmere_VERSION_$2.deb
EOF
}

stage=$builds/stage
rm -rf "$stage"
mkdir -p "$stage" "$out"
debian() {  # debian ARCH TREE: the package, and what it holds
  local deb=$out/hallmere_${version}_$1.deb
  bash tools/package_deb.sh "$1" "$version" "$stamp" "$2" "$stage/deb-$1" "$deb"
  echo "==== $(basename "$deb")"
  dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Installed-Size\):/  \1:/p'
  dpkg-deb --contents "$deb" | awk '$6 !~ /\/$/ { print "  " $6 }'
}
debian amd64 "$linux"
if [ "$mode" = deb ]; then
  exit 0
fi
debian arm64 "$arm"

setup=$out/Hallmere-$version-windows-setup.exe
bash tools/package_installer.sh "$version" "$win64" "$win32" "$stage/installer" "$setup"
echo "==== $(basename "$setup") ($(du -k "$setup" | cut -f1) KiB)"
(cd "$stage/installer/files" && find . -type f | LC_ALL=C sort | sed 's|^\./|  |')

# stage NAME TREE README-PLATFORM INSTALL-FUNCTION [ARG...]: a folder NAME with the
# plug-ins of the build TREE (the VST 2.x DLL for Windows, every format for Linux) and their
# texts, the licence and the third-party list (CRLF for Windows readers).
stage() {
  local name=$1 tree=$2 platform=$3 how=$4
  shift 4
  local dir=$stage/$name
  mkdir -p "$dir"
  if [[ $name == *windows* ]]; then
    cp "$tree/plugin/Hallmere.dll" "$dir/"
    readme "$platform" "VST 2.x plug-in" >"$dir/README.txt"
  else
    cp "$tree/plugin/Hallmere.so" "$tree/clap/Hallmere.clap" "$dir/"
    cp -r "$tree/vst3/Hallmere.vst3" "$tree/lv2/Hallmere.lv2" "$dir/"
    readme "$platform" "VST 3, CLAP, LV2 and VST 2.x plug-in" >"$dir/README.txt"
  fi
  "$how" "$@" | sed "s/VERSION/$version/g" >"$dir/INSTALL.txt"
  cp LICENSE "$dir/LICENSE.txt"
  cp THIRD_PARTY.md "$dir/THIRD_PARTY.md"
  if [[ $name == *windows* ]]; then
    sed -i 's/$/\r/' "$dir/README.txt" "$dir/INSTALL.txt" "$dir/LICENSE.txt" "$dir/THIRD_PARTY.md"
  fi
  find "$dir" -exec touch -h -d "@$stamp" {} +
}

x64=Hallmere-$version-windows-x64
x86=Hallmere-$version-windows-x86
lnx=Hallmere-$version-linux-x86_64
arm64=Hallmere-$version-linux-aarch64
stage "$x64" "$win64" "64-bit Windows" install_windows 64
stage "$x86" "$win32" "32-bit Windows" install_windows 32
stage "$lnx" "$linux" "64-bit Linux, x86_64" install_linux x86_64 amd64
stage "$arm64" "$arm" "64-bit Linux, aarch64" install_linux aarch64 arm64

rm -f "$out/$x64.zip" "$out/$x86.zip" "$out/$lnx.tar.gz" "$out/$arm64.tar.gz"
(cd "$stage" && TZ=UTC zip -X -q -r "$out/$x64.zip" "$x64" && TZ=UTC zip -X -q -r "$out/$x86.zip" "$x86")
for name in "$lnx" "$arm64"; do
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$name" |
    gzip -n -9 >"$out/$name.tar.gz"
done

echo "==== Release archives in ${out#"$root"/}"
for archive in "$out/$x64.zip" "$out/$x86.zip"; do
  echo "$(basename "$archive")"
  unzip -Z1 "$archive" | sed 's/^/  /'
done
for name in "$lnx" "$arm64"; do
  echo "$name.tar.gz"
  tar -tzf "$out/$name.tar.gz" | sed 's/^/  /'
done
