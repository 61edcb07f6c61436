#!/usr/bin/env bash
# The Windows installer, called by tools/package.sh:
#   package_installer.sh VERSION WIN64_TREE WIN32_TREE STAGE_DIR OUT.exe
# Stages what tools/installer/hallmere.nsi takes from the two Windows build trees and runs
# makensis on it:
#   Hallmere.vst3/Contents/x86_64-win/Hallmere.vst3   the 64-bit VST 3 module
#   Hallmere.vst3/Contents/x86-win/Hallmere.vst3      the 32-bit one
#   Hallmere.vst3/Contents/Resources/moduleinfo.json
#   x64/Hallmere.dll, x64/Hallmere.clap               VST 2.x and CLAP, 64-bit
#   x86/Hallmere.dll, x86/Hallmere.clap               and 32-bit
#   LICENSE.txt
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 5 ] || { echo "usage: package_installer.sh VERSION WIN64_TREE WIN32_TREE STAGE_DIR OUT.exe" >&2; exit 2; }
version=$1 win64=$2 win32=$3 stage=$4 exe=$5
command -v makensis >/dev/null || { echo "package_installer: makensis is not installed (tools/setup.sh installs nsis)" >&2; exit 1; }

# check FILE OBJDUMP FORMAT: the file is there and is a Windows binary of that word size.
check() {
  [ -f "$1" ] || { echo "package_installer: $1 is missing (not built?)" >&2; exit 1; }
  local header
  header=$("$2" -f "$1")
  grep -q "file format $3\$" <<<"$header" || { echo "package_installer: $1 is not $3" >&2; exit 1; }
}
vst3_64=$win64/vst3/Hallmere.vst3/Contents
vst3_32=$win32/vst3/Hallmere.vst3/Contents
for f in plugin/Hallmere.dll clap/Hallmere.clap vst3/Hallmere.vst3/Contents/x86_64-win/Hallmere.vst3; do
  check "$win64/$f" x86_64-w64-mingw32-objdump pei-x86-64
done
for f in plugin/Hallmere.dll clap/Hallmere.clap vst3/Hallmere.vst3/Contents/x86-win/Hallmere.vst3; do
  check "$win32/$f" i686-w64-mingw32-objdump pei-i386
done
# moduleinfo.json describes the plug-in, not the machine: both trees must agree.
cmp -s "$vst3_64/Resources/moduleinfo.json" "$vst3_32/Resources/moduleinfo.json" ||
  { echo "package_installer: the two trees' moduleinfo.json differ" >&2; exit 1; }

rm -rf "$stage"
files=$stage/files
bundle=$files/Hallmere.vst3/Contents
mkdir -p "$bundle/x86_64-win" "$bundle/x86-win" "$bundle/Resources" "$files/x64" "$files/x86"
cp "$vst3_64/x86_64-win/Hallmere.vst3" "$bundle/x86_64-win/"
cp "$vst3_32/x86-win/Hallmere.vst3" "$bundle/x86-win/"
cp "$vst3_64/Resources/moduleinfo.json" "$bundle/Resources/"
cp "$win64/plugin/Hallmere.dll" "$win64/clap/Hallmere.clap" "$files/x64/"
cp "$win32/plugin/Hallmere.dll" "$win32/clap/Hallmere.clap" "$files/x86/"
sed 's/$/\r/' LICENSE >"$files/LICENSE.txt"

mkdir -p "$(dirname "$exe")"
rm -f "$exe"
log=$stage/makensis.log
if ! makensis -V2 -WX -DVERSION="$version" -DFILES="$(realpath "$files")" -DOUTFILE="$(realpath -m "$exe")" \
  tools/installer/hallmere.nsi >"$log" 2>&1; then
  cat "$log" >&2
  echo "package_installer: makensis failed" >&2
  exit 1
fi
check "$exe" x86_64-w64-mingw32-objdump pei-x86-64
