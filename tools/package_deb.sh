#!/usr/bin/env bash
# The Debian package, called by tools/package.sh:
#   package_deb.sh VERSION STAMP Hallmere.so LV2_BUNDLE|"" STAGE_DIR OUT.deb
# The VST 2 plug-in goes to /usr/lib/lxvst/ (where Debian's VST 2 plug-ins live and hosts
# look), the LV2 bundle, when there is one, to /usr/lib/lv2/, the licence and the changelog
# to /usr/share/doc/hallmere/. Depends comes from the binaries (dpkg-shlibdeps); every file
# carries the time STAMP, so the same sources give the same package. lintian must find no
# error in it.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$1 stamp=$2 so=$3 lv2=$4 stage=$5 deb=$6
maintainer="Tovik <tovik@hallmere.invalid>"

rm -rf "$stage"
root=$stage/root
doc=$root/usr/share/doc/hallmere
install -d -m 0755 "$root/DEBIAN" "$root/usr/lib/lxvst" "$doc"
install -m 0644 "$so" "$root/usr/lib/lxvst/Hallmere.so"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/lib/lxvst/Hallmere.so"
binaries=("$root/usr/lib/lxvst/Hallmere.so")
if [ -n "$lv2" ]; then
  install -d -m 0755 "$root/usr/lib/lv2"
  cp -r "$lv2" "$root/usr/lib/lv2/Hallmere.lv2"
  while IFS= read -r -d '' lib; do
    strip --strip-unneeded --remove-section=.comment --remove-section=.note "$lib"
    binaries+=("$lib")
  done < <(find "$root/usr/lib/lv2" -name '*.so' -print0)
fi

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
printf 'Source: hallmere\n\nPackage: hallmere\nArchitecture: amd64\n' >"$shlib/debian/control"
depends=$(cd "$shlib" && dpkg-shlibdeps -O "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package_deb: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

installed_size=$(du -k -s --apparent-size "$root/usr" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: hallmere
Version: $version
Architecture: amd64
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $depends
Section: sound
Priority: optional
Description: stereo hall and room reverb plug-in (VST 2)
 Hallmere is a stereo reverb: band-limited input, four allpass diffusers, an
 early reflection and a late network of four damped delay lines, with a gate and
 a dry switch. It has thirteen automatable parameters, eight factory programs
 and its own 448 x 251 pixel editor panel.
 .
 This package installs the VST 2 plug-in in /usr/lib/lxvst, where hosts such as
 Ardour find it, and the LV2 bundle in /usr/lib/lv2 where the build has one.
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
