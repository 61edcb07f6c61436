#!/usr/bin/env bash
# Hallmere.lv2 in Debian's LV2 tools, one case per call:
#   check_lv2.sh validate | info | presets | bad_values
# Environment: BUNDLE (the Hallmere.lv2 folder), VSTHOST, PLUGIN (the VST2 .so),
# EXPECTED_PORTS, WORK. Exits 77 (skipped) when the LV2 tools are missing.
set -u
case_name=$1
here=$(cd "$(dirname "$0")" && pwd)
tool="python3 $here/bundle_tool.py"
work=$WORK/$case_name
rm -rf "$work" && mkdir -p "$work"
uri=urn:tovik:hallmere

fail() { echo "FAIL: $*" >&2; exit 1; }
for t in lv2_validate lv2info lv2apply sordi sox; do
  command -v $t >/dev/null || { echo "skipped: $t is missing (tools/setup.sh installs it)"; exit 77; }
done
# The bundle alone on the search path, so nothing installed on the machine can stand in for it.
export LV2_PATH=$work/lv2
mkdir -p "$LV2_PATH" && ln -s "$BUNDLE" "$LV2_PATH/Hallmere.lv2"

# Noise, different in the two channels, then silence for the tail.
make_input() {
  sox -R -n -r 48000 -c 2 -b 32 -e floating-point "$1" synth 0.25 whitenoise vol 0.5 pad 0 0.35 ||
    fail "could not make the input"
}

# VST2 reference at block 1: lv2apply runs the plug-in one frame at a time, and the denormal
# offset is drawn once per block, so only equal block sizes give equal bits.
vst_render() {
  local out=$1
  shift
  "$VSTHOST" render "$PLUGIN" --in "$work/in.wav" --block 1 --quiet --out "$out" "$@" || fail "vsthost render $*"
}

case $case_name in
validate)
  lv2_validate "$BUNDLE"/*.ttl >"$work/validate.log" 2>&1
  grep -v '^Skipping' "$work/validate.log"
  grep -q '^Found 0 errors' "$work/validate.log" || fail "lv2_validate found errors"
  grep -qi 'warn' "$work/validate.log" && fail "lv2_validate warns"
  [ "$(lv2ls)" = "$uri" ] || fail "lv2ls lists '$(lv2ls)'"
  ;;
info)
  lv2info "$uri" >"$work/info.txt" || fail "lv2info failed"
  lv2info -p "$work/plugin.ttl" "$uri" >/dev/null && sordi "$work/plugin.ttl" >"$work/plugin.nt" 2>/dev/null ||
    fail "lv2info -p failed"
  $tool ports "$work/plugin.nt" >"$work/ports.txt" || fail "could not read the ports"
  "$EXPECTED_PORTS" >"$work/expected.txt"
  diff "$work/expected.txt" "$work/ports.txt" || fail "the ports differ from the parameter table"
  grep -q 'Required Features' "$work/info.txt" && fail "the plug-in requires features"
  grep -q 'Optional Features: http://lv2plug.in/ns/lv2core#hardRTCapable' "$work/info.txt" || fail "not hardRTCapable"
  grep -q 'Class:  http://lv2plug.in/ns/extensions/ui#X11UI' "$work/info.txt" || fail "no X11 UI"
  ;;
presets)
  # Each preset, found by the VST2 program's name, against that program in vsthost.
  make_input "$work/in.wav"
  "$VSTHOST" info "$PLUGIN" >"$work/vst.txt" || fail "vsthost info"
  sordi "$BUNDLE/presets.ttl" >"$work/presets.nt" 2>/dev/null || fail "sordi presets.ttl"
  for p in 0 1 2 3 4 5 6 7; do
    label=$(sed -n "s/^program\.$p\.name: \"\(.*\)\"$/\1/p" "$work/vst.txt" | sed 's/ *$//')
    [ -n "$label" ] || fail "vsthost names no program $p"
    args=$($tool preset-args "$work/presets.nt" "$label") || fail "no preset \"$label\""
    # shellcheck disable=SC2086
    lv2apply -i "$work/in.wav" -o "$work/lv2-$p.wav" $args "$uri" || fail "lv2apply \"$label\""
    vst_render "$work/vst-$p.wav" --program $p
    echo "preset $p \"$label\""
    $tool identical "$work/vst-$p.wav" "$work/lv2-$p.wav" || fail "preset \"$label\" differs from VST2"
  done
  ;;
bad_values)
  # Non-finite and far-out port values: NaN keeps the parameter's value, the rest are held at
  # the port's ends. The render equals VST2's with those normalised values.
  make_input "$work/in.wav"
  lv2apply -i "$work/in.wav" -o "$work/lv2.wav" -c t60 nan -c out inf -c pan -1e30 -c high_cut -inf \
    -c room_size 1e30 -c hold -5 "$uri" || fail "lv2apply"
  $tool finite "$work/lv2.wav" || fail "non-finite output"
  vst_render "$work/vst.wav" --program 0 --param 1=1 --param 0=0 --param 6=0 --param 11=1 --param 10=0
  $tool identical "$work/vst.wav" "$work/lv2.wav" || fail "bad values are not held at the port's ends"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
