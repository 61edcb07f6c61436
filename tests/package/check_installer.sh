#!/usr/bin/env bash
# The Windows installer under wine64, in a prefix of its own: a silent install with the
# default folders, then one with folders given on the command line, each checked for every
# file in its place (and nothing else new in drive_c), the Uninstall registry entry and the
# Windows vsthost loading the installed VST 2.x, VST 3 and CLAP plug-ins; then the silent
# uninstaller must leave drive_c as it found it and remove the registry entry.
#
# Variables: WIN64_DIR and WIN32_DIR (the Windows build trees: the installer is made from
# their plug-ins with tools/package_installer.sh), VERSION, RUN_WINE (tests/tool/run_wine.sh),
# WORK (scratch folder), WIN_VSTHOST (build/win64/tools/vsthost.exe).
# Exits 77 (skipped) when the trees have not built the plug-ins.
set -u
SKIP=77
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hallmere'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

here=$(cd "$(dirname "$0")" && pwd)
version=$VERSION
for f in "$WIN64_DIR/plugin/Hallmere.dll" "$WIN32_DIR/plugin/Hallmere.dll"; do
  [ -f "$f" ] || { echo "skipped: no $f (build the Windows trees first)"; exit $SKIP; }
done
rm -rf "$WORK"
mkdir -p "$WORK"
INSTALLER=$WORK/Hallmere-$version-windows-setup.exe
bash "$here/../../tools/package_installer.sh" "$version" "$WIN64_DIR" "$WIN32_DIR" "$WORK/stage" "$INSTALLER" ||
  fail "tools/package_installer.sh could not make the installer"
prefix=$WORK/prefix
drive=$prefix/drive_c
"$RUN_WINE" "$prefix" --init >"$WORK/init.log" 2>&1 || { cat "$WORK/init.log"; fail "no wine prefix"; }

wine() { "$RUN_WINE" "$prefix" "$@"; }
settle() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -w; }
# Every file under drive_c but wine's own and the users' (temporary files, wine's settings).
snapshot() { (cd "$drive" && find . -path ./windows -prune -o -path ./users -prune -o -type f -print | LC_ALL=C sort); }
snapshot >"$WORK/before.txt"

# check_install VST2_64 VST2_32: the files an install puts in place, each a Windows binary of
# its word size, and the registry entry.
check_install() {
  local vst2_64=$1 vst2_32=$2 c64="Program Files/Common Files" c32="Program Files (x86)/Common Files"
  local -a x64=("$c64/CLAP/Hallmere.clap" "$vst2_64/Hallmere.dll" "Program Files/Hallmere/Uninstall.exe")
  local -a x86=("$c32/CLAP/Hallmere.clap" "$vst2_32/Hallmere.dll")
  local -a other=("Program Files/Hallmere/LICENSE.txt")
  local vst3
  for vst3 in "$c64/VST3/Hallmere.vst3" "$c32/VST3/Hallmere.vst3"; do
    x64+=("$vst3/Contents/x86_64-win/Hallmere.vst3")
    x86+=("$vst3/Contents/x86-win/Hallmere.vst3")
    other+=("$vst3/Contents/Resources/moduleinfo.json")
  done
  local f header
  for f in "${x64[@]}" "${x86[@]}" "${other[@]}"; do
    [ -f "$drive/$f" ] || fail "C:/$f is not installed"
  done
  for f in "${x64[@]}"; do
    header=$(x86_64-w64-mingw32-objdump -f "$drive/$f")
    grep -q 'file format pei-x86-64$' <<<"$header" || fail "C:/$f is not a 64-bit Windows binary"
  done
  for f in "${x86[@]}"; do
    header=$(i686-w64-mingw32-objdump -f "$drive/$f")
    grep -q 'file format pei-i386$' <<<"$header" || fail "C:/$f is not a 32-bit Windows binary"
  done
  grep -q '"Hallmere"' "$drive/$c64/VST3/Hallmere.vst3/Contents/Resources/moduleinfo.json" ||
    fail "moduleinfo.json does not name Hallmere"
  # Nothing else new.
  snapshot >"$WORK/after.txt"
  printf './%s\n' "${x64[@]}" "${x86[@]}" "${other[@]}" | LC_ALL=C sort >"$WORK/expected.txt"
  comm -13 "$WORK/before.txt" "$WORK/after.txt" >"$WORK/new.txt"
  diff "$WORK/expected.txt" "$WORK/new.txt" >"$WORK/diff.txt" || { cat "$WORK/diff.txt"; fail "the install added other files than expected"; }

  wine reg query "$key" 2>&1 | tr -d '\r' >"$WORK/reg.txt"
  local line
  for line in "DisplayName	REG_SZ	Hallmere $version" "DisplayVersion	REG_SZ	$version" "Publisher	REG_SZ	Tovik" \
    "UninstallString	REG_SZ	\"C:\\Program Files\\Hallmere\\Uninstall.exe\""; do
    grep -qF "$line" <(sed 's/^ *//; s/    /\t/g' "$WORK/reg.txt") || { cat "$WORK/reg.txt"; fail "no registry value '$line'"; }
  done

  # The 64-bit host loads each format from where the installer put it.
  local plugin
  for plugin in "C:\\${vst2_64//\//\\}\\Hallmere.dll" "C:\\Program Files\\Common Files\\VST3\\Hallmere.vst3" \
    "C:\\Program Files\\Common Files\\CLAP\\Hallmere.clap"; do
    wine "$WIN_VSTHOST" info "$plugin" 2>&1 | tr -d '\r' >"$WORK/info.txt"
    grep -qx 'name: "Hallmere"' "$WORK/info.txt" || { cat "$WORK/info.txt"; fail "vsthost.exe cannot load $plugin"; }
    echo "vsthost.exe loads $plugin"
  done
}

# uninstall: the silent uninstaller (it hands over to a copy of itself in the temporary
# folder and returns at once, hence the wait) leaves drive_c as before and no registry entry.
uninstall() {
  wine "C:\\Program Files\\Hallmere\\Uninstall.exe" /S >"$WORK/uninstall.log" 2>&1 || { cat "$WORK/uninstall.log"; fail "the uninstaller failed"; }
  settle
  snapshot >"$WORK/after.txt"
  diff "$WORK/before.txt" "$WORK/after.txt" >"$WORK/diff.txt" || { cat "$WORK/diff.txt"; fail "the uninstaller left files behind"; }
  for dir in "Program Files/Hallmere" "Program Files/Common Files/VST3/Hallmere.vst3" \
    "Program Files (x86)/Common Files/VST3/Hallmere.vst3"; do
    [ ! -e "$drive/$dir" ] || fail "C:/$dir is left after the uninstall"
  done
  if wine reg query "$key" >/dev/null 2>&1; then
    fail "the Uninstall registry entry is left after the uninstall"
  fi
}

# Default folders.
wine "$INSTALLER" /S >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; fail "the silent install failed"; }
settle
check_install "Program Files/VSTPlugins" "Program Files (x86)/VSTPlugins"
uninstall
echo "ok: default install, uninstall"

# Folders of the administrator's choice, with spaces, as typed at a command prompt (no
# quotes; /D= comes last): wine joins the words with spaces and quotes none of them.
wine "$INSTALLER" /S '/VST2X86=C:\Audio\VST' 32 '/D=C:\Audio\VST' 64 >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log"; fail "the silent install with folders failed"; }
settle
check_install "Audio/VST 64" "Audio/VST 32"
uninstall
[ ! -e "$drive/Audio/VST 64" ] || fail "the emptied VST 2.x folder is left"
echo "ok: install into chosen folders, uninstall"
