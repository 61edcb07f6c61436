#!/usr/bin/env bash
# Installs the Debian package with dpkg, checks that every format is where it belongs, that
# vsthost loads the VST 2.x plug-in there and that Ardour finds it on its own search path
# (Ardour's scanner run on the installed file, as a host's "scan for plug-ins" does, then
# Ardour's plug-in list), that Ardour's VST 3 scanner accepts the installed bundle, that
# Qtractor's scanner lists the installed CLAP plug-in and that lv2ls lists the LV2 bundle;
# then purges the package and checks that nothing of it is left.
#
# Variables: DEB (the package), VSTHOST, WORK (scratch folder).
# Exits 77 (skipped) when not root or when the package has not been made.
set -u
SKIP=77
here=$(cd "$(dirname "$0")" && pwd)
unique_id=1417037933  # "TvHm"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ "$(id -u)" = 0 ] || { echo "skipped: installing a package needs root"; exit $SKIP; }
[ -f "$DEB" ] || { echo "skipped: no package at $DEB (bash tools/package.sh deb makes it)"; exit $SKIP; }
if dpkg-query -W -f='${Status}' hallmere 2>/dev/null | grep -q installed; then
  fail "hallmere is installed already; this test installs and removes it itself"
fi
rm -rf "$WORK"
mkdir -p "$WORK"

files=$(dpkg-deb --contents "$DEB" | awk '{ print substr($6, 2) }' | grep -v '/$')
command -v lv2ls >/dev/null || fail "lv2ls is not installed (package lilv-utils)"
lv2ls >"$WORK/lv2ls_before.log" 2>&1
dpkg -i "$DEB" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; fail "dpkg -i failed"; }
trap 'dpkg --purge hallmere >/dev/null 2>&1' EXIT

vst3=/usr/lib/vst3/Hallmere.vst3
clap=/usr/lib/clap/Hallmere.clap
for f in /usr/lib/lxvst/Hallmere.so "$vst3/Contents/$(uname -m)-linux/Hallmere.so" "$vst3/Contents/Resources/moduleinfo.json" \
  "$clap" /usr/lib/lv2/Hallmere.lv2/manifest.ttl /usr/share/doc/hallmere/copyright /usr/share/doc/hallmere/changelog.gz; do
  [ -f "$f" ] || fail "$f is not installed"
done
"$VSTHOST" info /usr/lib/lxvst/Hallmere.so >"$WORK/info.log" 2>&1 || { cat "$WORK/info.log"; fail "vsthost cannot load it"; }
grep -qx 'name: "Hallmere"' "$WORK/info.log" || fail "the installed plug-in is not Hallmere"

# Ardour, with its settings and cache in $WORK and no LXVST_PATH: its own defaults must
# lead it to /usr/lib/lxvst.
ardour_lua=$(command -v ardour7-lua || true)
scanner=/usr/lib/ardour7/ardour-vst-scanner
[ -n "$ardour_lua" ] && [ -x "$scanner" ] || fail "Ardour 7 is not installed (tools/setup.sh installs it)"
unset LXVST_PATH VST_PATH
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache XDG_DATA_HOME=$WORK/data
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 120 "$scanner" -f /usr/lib/lxvst/Hallmere.so >"$WORK/scan.log" 2>&1 ||
  { cat "$WORK/scan.log"; fail "Ardour's scanner failed on the installed plug-in"; }
# The Lua tool may crash, now and then even before its work is done: judge it by its
# output, and give it a second try.
listed() { grep -qx "plugin: $unique_id Hallmere /usr/lib/lxvst/Hallmere.so" "$WORK/list.log"; }
for attempt in 1 2; do
  rm -rf "$WORK/session"
  timeout -k 10 120 "$ardour_lua" "$here/list_plugins.lua" "$WORK/session" >"$WORK/list.log" 2>&1
  listed && break
done
listed || { grep '^plugin:' "$WORK/list.log" | head -20; fail "Ardour does not list Hallmere from /usr/lib/lxvst"; }

# The VST 3 bundle in Ardour's VST 3 scanner, from its installed place.
WORK=$WORK/vst3 BUNDLE=$vst3 sh "$here/../vst3/check_scanner.sh" >"$WORK/vst3_scan.log" 2>&1 ||
  { cat "$WORK/vst3_scan.log"; fail "Ardour's VST 3 scanner does not accept $vst3"; }

# The CLAP plug-in in Qtractor's scanner, from its installed place.
bash "$here/../clap/check_qtractor.sh" "$clap" >"$WORK/clap_scan.log" 2>&1 ||
  { cat "$WORK/clap_scan.log"; fail "Qtractor's scanner does not list $clap"; }

# The LV2 bundle: lv2ls lists one plug-in more than before, and it is ours.
lv2ls >"$WORK/lv2ls.log" 2>&1
new=$(comm -13 <(sort "$WORK/lv2ls_before.log") <(sort "$WORK/lv2ls.log"))
[ "$(grep -c . <<<"$new")" = 1 ] || { cat "$WORK/lv2ls.log"; fail "lv2ls does not list one new plug-in"; }
grep -qi hallmere <<<"$new" || fail "the new LV2 plug-in $new is not Hallmere"

trap - EXIT
dpkg --purge hallmere >"$WORK/purge.log" 2>&1 || { cat "$WORK/purge.log"; fail "dpkg --purge failed"; }
dpkg-query -W hallmere >/dev/null 2>&1 && fail "dpkg still knows hallmere after the purge"
for f in $files; do
  [ ! -e "/$f" ] || fail "/$f is left after the purge"
done
for d in /usr/share/doc/hallmere /usr/lib/lv2/Hallmere.lv2 "$vst3" "$clap"; do
  [ ! -e "$d" ] || fail "$d is left after the purge"
done
echo "ok: installed, VST 2.x and VST 3 found by Ardour, CLAP by Qtractor, LV2 by lv2ls, removed"
