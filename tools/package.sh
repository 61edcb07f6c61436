#!/usr/bin/env bash
# Release archives for musicians, in out/release/:
#   Hallmere-VERSION-windows-x64.zip      Hallmere.dll for 64-bit Windows hosts
#   Hallmere-VERSION-windows-x86.zip      Hallmere.dll for 32-bit Windows hosts
#   Hallmere-VERSION-linux-x86_64.tar.gz  Hallmere.so for Linux hosts
#   hallmere_VERSION_amd64.deb            the Debian package of the Linux build
# each archive with INSTALL.txt, README.txt, LICENSE.txt and THIRD_PARTY.md. Builds what
# it needs with the win64, win32 and release presets, in trees of its own
# (PACKAGE_BUILD_DIR, default build/package), so that a developer's build trees are left
# alone. When the release tree has an LV2 target, its Hallmere.lv2 bundle goes into the
# Linux archive and the package as well.
#
#   tools/package.sh        everything
#   tools/package.sh deb    the Debian package alone (the Linux build only)
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

build() {  # build PRESET: configures and builds the plug-in alone, prints the build tree
  local tree=$builds/$1
  cmake --preset "$1" -B "$tree" >"$builds/$1.configure.log" 2>&1 ||
    { cat "$builds/$1.configure.log" >&2; exit 1; }
  cmake --build "$tree" --target Hallmere -j "$jobs" >&2
  echo "$tree"
}

mkdir -p "$builds"
echo "==== Building Hallmere $version"
if [ "$mode" = all ]; then
  win64=$(build win64)
  win32=$(build win32)
fi
linux=$(build release)
# The LV2 bundle, where the build has one: any target named after LV2 makes it.
lv2_targets=$(cmake --build "$linux" --target help | sed -n 's/^\([A-Za-z0-9_]*[lL][vV]2[A-Za-z0-9_]*\):.*/\1/p')
for target in $lv2_targets; do
  cmake --build "$linux" --target "$target" -j "$jobs" >&2
done
lv2_bundle=$(find "$linux" -type d -name Hallmere.lv2 -print -quit)

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
if [ "$mode" = all ]; then
  check_format "$win64/plugin/Hallmere.dll" x86_64-w64-mingw32-objdump pei-x86-64
  check_format "$win32/plugin/Hallmere.dll" i686-w64-mingw32-objdump pei-i386
fi
check_format "$linux/plugin/Hallmere.so" objdump elf64-x86-64
exports=$(nm -D --defined-only "$linux/plugin/Hallmere.so")
for entry in VSTPluginMain main; do
  grep -q " T $entry\$" <<<"$exports" ||
    { echo "package: Hallmere.so does not export $entry" >&2; exit 1; }
done

readme() {  # readme PLATFORM-TEXT
  cat <<EOF
Hallmere $version - stereo reverb, VST 2.x plug-in ($1)
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
EOF
}

install_linux() {
  cat <<'EOF'
Installing Hallmere on Linux (x86_64)
=====================================

1. Copy Hallmere.so into a folder where your host looks for VST 2 plug-ins:
     ~/.vst                 (just for you; create it if it is missing)
     /usr/local/lib/vst     (for every user, needs root)
     /usr/lib/vst           (for every user, usually left to the distribution)
   Hosts also search the folders listed in the LXVST_PATH or VST_PATH environment
   variables, and most let you add folders in their plug-in preferences.
     mkdir -p ~/.vst && cp Hallmere.so ~/.vst/
2. Restart the host or let it rescan its plug-ins; Hallmere appears as an effect by Tovik.

The editor is an X11 window inside the host's window. Hallmere.so uses libraries every
desktop has: Cairo, fontconfig and Xlib (Debian and Ubuntu: libcairo2, libfontconfig1,
libx11-6). The panel's text is drawn in Liberation Sans (fonts-liberation) where installed.

To remove Hallmere, delete Hallmere.so.

LV2 hosts: where this archive has a Hallmere.lv2 folder, copy it into ~/.lv2 (just for
you) or /usr/local/lib/lv2 (every user).

On Debian and Ubuntu the package hallmere_VERSION_amd64.deb does all of this:
  sudo apt install ./hallmere_VERSION_amd64.deb
EOF
}

stage=$builds/stage
rm -rf "$stage"
mkdir -p "$stage" "$out"
deb=$out/hallmere_${version}_amd64.deb
bash tools/package_deb.sh "$version" "$stamp" "$linux/plugin/Hallmere.so" "$lv2_bundle" "$stage/deb" "$deb"
echo "==== $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Installed-Size\):/  \1:/p'
dpkg-deb --contents "$deb" | awk '{ print "  " $6 }'
if [ "$mode" = deb ]; then
  exit 0
fi

# stage NAME FILE README-PLATFORM INSTALL-FUNCTION [ARG]: a folder NAME with the binary
# and its texts, the licence and the third-party list (CRLF for Windows readers), plus the
# LV2 bundle beside the Linux library where there is one.
stage() {
  local name=$1 file=$2 platform=$3 how=$4
  shift 4
  local dir=$stage/$name
  mkdir -p "$dir"
  cp "$file" "$dir/"
  readme "$platform" >"$dir/README.txt"
  "$how" "$@" | sed "s/VERSION/$version/g" >"$dir/INSTALL.txt"
  cp LICENSE "$dir/LICENSE.txt"
  cp THIRD_PARTY.md "$dir/THIRD_PARTY.md"
  if [[ $name == *windows* ]]; then
    sed -i 's/$/\r/' "$dir/README.txt" "$dir/INSTALL.txt" "$dir/LICENSE.txt" "$dir/THIRD_PARTY.md"
  elif [ -n "$lv2_bundle" ]; then
    cp -r "$lv2_bundle" "$dir/"
  fi
  find "$dir" -exec touch -h -d "@$stamp" {} +
}

x64=Hallmere-$version-windows-x64
x86=Hallmere-$version-windows-x86
lnx=Hallmere-$version-linux-x86_64
stage "$x64" "$win64/plugin/Hallmere.dll" "64-bit Windows" install_windows 64
stage "$x86" "$win32/plugin/Hallmere.dll" "32-bit Windows" install_windows 32
stage "$lnx" "$linux/plugin/Hallmere.so" "64-bit Linux" install_linux

rm -f "$out/$x64.zip" "$out/$x86.zip" "$out/$lnx.tar.gz"
(cd "$stage" && TZ=UTC zip -X -q -r "$out/$x64.zip" "$x64" && TZ=UTC zip -X -q -r "$out/$x86.zip" "$x86")
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$lnx" |
  gzip -n -9 >"$out/$lnx.tar.gz"

echo "==== Release archives in ${out#"$root"/}"
for archive in "$out/$x64.zip" "$out/$x86.zip"; do
  echo "$(basename "$archive")"
  unzip -Z1 "$archive" | sed 's/^/  /'
done
echo "$(basename "$out/$lnx.tar.gz")"
tar -tzf "$out/$lnx.tar.gz" | sed 's/^/  /'
