#!/usr/bin/env bash
# The Debian package, called by tools/package.sh:
#   package_deb.sh ARCH VERSION STAMP BUILD_TREE STAGE_DIR OUT.deb
# ARCH is amd64 (a native build tree) or arm64 (the aarch64 cross build). Every format of
# the build tree goes where Debian's hosts look for it:
#   /usr/lib/lxvst/Hallmere.so      VST 2.x      (BUILD_TREE/plugin/Hallmere.so)
#   /usr/lib/lv2/Hallmere.lv2/      LV2          (BUILD_TREE/lv2/Hallmere.lv2)
#   /usr/lib/vst3/Hallmere.vst3/    VST 3 bundle (BUILD_TREE/vst3/Hallmere.vst3)
#   /usr/lib/clap/Hallmere.clap     CLAP         (BUILD_TREE/clap/Hallmere.clap)
# and the licence and the changelog to /usr/share/doc/hallmere/. Depends comes from the
# binaries (dpkg-shlibdeps on every ELF file); every file carries the time STAMP, so the
# same sources give the same package. lintian must find no error in it.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 6 ] || { echo "usage: package_deb.sh amd64|arm64 VERSION STAMP BUILD_TREE STAGE_DIR OUT.deb" >&2; exit 2; }
arch=$1 version=$2 stamp=$3 tree=$4 stage=$5 deb=$6
maintainer="Tovik <tovik@hallmere.invalid>"
case "$arch" in
amd64) strip=strip multiarch=x86_64-linux-gnu machine=X86-64 ;;
arm64) strip=aarch64-linux-gnu-strip multiarch=aarch64-linux-gnu machine=AArch64 ;;
*) echo "package_deb: unknown architecture $arch" >&2; exit 2 ;;
esac

sources=("$tree/plugin/Hallmere.so" "$tree/lv2/Hallmere.lv2" "$tree/vst3/Hallmere.vst3" "$tree/clap/Hallmere.clap")
for f in "${sources[@]}"; do
  [ -e "$f" ] || { echo "package_deb: $f is missing (not built?)" >&2; exit 1; }
done

rm -rf "$stage"
root=$stage/root
doc=$root/usr/share/doc/hallmere
install -d -m 0755 "$root/DEBIAN" "$root/usr/lib/lxvst" "$root/usr/lib/lv2" "$root/usr/lib/vst3" \
  "$root/usr/lib/clap" "$doc"
install -m 0644 "$tree/plugin/Hallmere.so" "$root/usr/lib/lxvst/Hallmere.so"
cp -r "$tree/lv2/Hallmere.lv2" "$root/usr/lib/lv2/Hallmere.lv2"
cp -r "$tree/vst3/Hallmere.vst3" "$root/usr/lib/vst3/Hallmere.vst3"
install -m 0644 "$tree/clap/Hallmere.clap" "$root/usr/lib/clap/Hallmere.clap"
find "$root/usr" -type f -exec chmod 0644 {} +

# Every ELF file is stripped, must be built for ARCH, and goes to dpkg-shlibdeps.
binaries=()
while IFS= read -r -d '' f; do
  header=$(readelf -h "$f" 2>/dev/null) || continue
  grep -q "Machine: .*$machine\$" <<<"$header" ||
    { echo "package_deb: ${f#"$root"} is not built for $arch" >&2; exit 1; }
  "$strip" --strip-unneeded --remove-section=.comment --remove-section=.note "$f"
  binaries+=("$f")
done < <(find "$root/usr/lib" -type f -print0 | LC_ALL=C sort -z)
[ ${#binaries[@]} -ge 5 ] || { echo "package_deb: only ${#binaries[@]} binaries in the package" >&2; exit 1; }

# The copyright file in Debian's machine-readable form; MIT is "Expat" there.
{
  cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Hallmere
Upstream-Contact: $maintainer

Files: *
Copyright: 2026 Tovik
License: Expat
COPYRIGHT
  sed -n '/^Permission/,$p' LICENSE | sed 's/^$/./; s/^/ /'
} >"$doc/copyright"

# The changelog in Debian's form, one entry per section of CHANGELOG.md ("## VERSION" or
# "## VERSION (YYYY-MM-DD)", the undated one being this build): each "- " item, or plain
# paragraph, becomes a "  * " item wrapped to 78 columns.
awk -v maintainer="$maintainer" -v stamp="$stamp" '
  function flush(   words, n, i, line, lead) {
    if (item == "") return
    n = split(item, words, " "); line = ""; lead = "  * "
    for (i = 1; i <= n; i++) {
      if (line != "" && length(lead line " " words[i]) > 78) { print lead line; line = ""; lead = "    " }
      line = line == "" ? words[i] : line " " words[i]
    }
    print lead line; item = ""
  }
  function close_entry(   cmd, date) {
    flush()
    if (!version) return
    cmd = "LC_ALL=C date -u -R -d " (day == "" ? "@" stamp : day)
    cmd | getline date; close(cmd)
    printf "\n -- %s  %s\n", maintainer, date
    version = ""
  }
  /^## / {
    close_entry()
    if (entries++) print ""
    version = $2; day = ""
    if (match($0, /\([0-9-]+\)/)) day = substr($0, RSTART + 1, RLENGTH - 2)
    printf "hallmere (%s) unstable; urgency=medium\n\n", version; next
  }
  !version { next }
  /^$/ { flush(); next }
  /^- / { flush(); item = substr($0, 3); next }
  { sub(/^ +/, ""); item = item == "" ? $0 : item " " $0 }
  END { close_entry() }
' CHANGELOG.md | gzip -n -9 >"$doc/changelog.gz"
chmod 0644 "$doc/copyright" "$doc/changelog.gz"

# dpkg-shlibdeps wants to run inside a source tree with debian/control.
shlib=$stage/shlib
mkdir -p "$shlib/debian"
printf 'Source: hallmere\n\nPackage: hallmere\nArchitecture: %s\n' "$arch" >"$shlib/debian/control"
# For arm64 it looks up the libraries of Debian's arm64 packages (installed beside the
# native ones by tools/setup.sh) in their multiarch folder.
depends=$(cd "$shlib" && DEB_HOST_ARCH=$arch DEB_HOST_MULTIARCH=$multiarch \
  dpkg-shlibdeps -l"/usr/lib/$multiarch" -l"/lib/$multiarch" -O "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package_deb: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

installed_size=$(du -k -s --apparent-size "$root/usr" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: hallmere
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $depends
Section: sound
Priority: optional
Description: stereo hall and room reverb plug-in (VST 3, CLAP, LV2, VST 2)
 Hallmere is a stereo reverb: band-limited input, four allpass diffusers, an
 early reflection and a late network of four damped delay lines, with a gate and
 a dry switch. It has thirteen automatable parameters, eight factory programs
 and its own 448 x 251 pixel editor panel.
 .
 This package installs the plug-in in every format where hosts such as Ardour,
 Qtractor, Carla and REAPER find it: the VST 3 bundle in /usr/lib/vst3, the CLAP
 plug-in in /usr/lib/clap, the LV2 bundle in /usr/lib/lv2 and the VST 2 plug-in
 in /usr/lib/lxvst.
CONTROL
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -exec touch -h -d "@$stamp" {} +

mkdir -p "$(dirname "$deb")"
SOURCE_DATE_EPOCH=$stamp dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

# Errors fail the build; warnings are shown.
if command -v lintian >/dev/null; then
  report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "running with root privileges" || true)
  [ -z "$report" ] || echo "$report" >&2
  if grep -q '^E: ' <<<"$report"; then
    echo "package_deb: lintian reports errors in $(basename "$deb")" >&2
    exit 1
  fi
else
  echo "package_deb: lintian is not installed (tools/setup.sh installs it)" >&2
  exit 1
fi
