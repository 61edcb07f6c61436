#!/usr/bin/env bash
# Hallmere.lv2 in Ardour 7, headless: the plug-in is inserted by its URI on a stereo track,
# the "Huge Hall" preset is loaded through Ardour's preset interface and T60 set to 2860 ms
# through Ardour's Lua interface, and the session is exported. lv2apply renders the same
# input with the same port values; the two must agree apart from the lag the sequencer may
# add and the per-block denormal offset (a few 1e-8: lv2apply runs one frame per block).
#
# Variables: BUNDLE, AUDIO_CHECK, WORK. Optional: ARDOUR_LUA (default ardour7-lua).
# Exits 77 (skipped) when Ardour or the LV2 tools are not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
ardour_tests=$here/../ardour
tool="python3 $here/bundle_tool.py"
uri=urn:tovik:hallmere
preset=$uri:preset:2  # "Huge Hall"
t60=2860              # ms; normalised 0.4
rate=48000
export_preset=8d1c3f0a-6a55-4c43-9d47-3e0b7f1a2c02

fail() { echo "FAIL: $*" >&2; exit 1; }
ardour_lua=${ARDOUR_LUA:-$(command -v ardour7-lua || true)}
if [ -z "$ardour_lua" ] || ! command -v lv2apply >/dev/null || ! command -v sordi >/dev/null; then
  echo "skipped: Ardour 7 or the LV2 tools are not installed (tools/setup.sh installs them)"
  exit 77
fi

work=$WORK
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$ardour_tests/ardour_home.sh"
export LV2_PATH=$work/lv2
mkdir -p "$LV2_PATH"
ln -s "$BUNDLE" "$LV2_PATH/Hallmere.lv2"

step input 30 "$AUDIO_CHECK" make "$work/in.wav" "$work/in-L.wav" "$work/in-R.wav" \
  --rate $rate --lead 0.05 --drums 1 --tail 2 || { cat "$work/input.log"; fail "could not make the input"; }
frames=$(sed -n 's/^frames: //p' "$work/input.log")

# Ardour may crash inside itself while exporting (about one run in four): one retry, and each
# attempt judged by the file it left.
for attempt in 1 2; do
  # Ardour looks for the audio in interchange/<session folder name>: folder and session share it.
  session=$work/attempt$attempt/hallmere
  step session$attempt 120 "$ardour_lua" "$ardour_tests/make_session.lua" "$session" hallmere $rate "$frames" \
    in-L.wav in-R.wav
  grep -q 'name="input.1"' "$session/hallmere.ardour" 2>/dev/null || { cat "$work/session$attempt.log"; continue; }
  cp "$work/in-L.wav" "$work/in-R.wav" "$session/interchange/hallmere/audiofiles/"
  step render$attempt 300 "$ardour_lua" "$ardour_tests/render_session.lua" "$session" hallmere "$work/export$attempt" \
    ardour $export_preset "lv2:$uri" "$preset" 2=$t60
  ardour_wav=$(ls "$work"/export$attempt/*.wav 2>/dev/null | head -n1)
  [ -n "$ardour_wav" ] && break
  echo "attempt $attempt exported nothing"
done
log=$work/render$attempt.log
[ -n "${ardour_wav:-}" ] || { cat "$log"; fail "Ardour exported nothing"; }
cat "$log"

grep -qx "inserts: 1" "$log" || fail "the track does not hold exactly one insert"
grep -qx "insert: 0 $uri Hallmere active=true" "$log" || fail "Hallmere is not the track's active insert"
grep -qF "program: $preset \"Huge Hall\"" "$log" || fail "the preset was not loaded"
param() { sed -n "s/^param: $1 //p" "$log"; }
[ "$(param 2)" = "$t60" ] || fail "T60 reads '$(param 2)', not $t60"
[ "$(param 11)" = "100" ] || fail "room size reads '$(param 11)', not Huge Hall's 100"

sordi "$BUNDLE/presets.ttl" >"$work/presets.nt" 2>/dev/null || fail "sordi presets.ttl"
args=$($tool preset-args "$work/presets.nt" "Huge Hall") || fail "no preset Huge Hall"
# shellcheck disable=SC2086
step lv2apply 60 lv2apply -i "$work/in.wav" -o "$work/lv2apply.wav" $args -c t60 $t60 "$uri" ||
  { cat "$work/lv2apply.log"; fail "lv2apply failed"; }

echo "== compare lv2apply and Ardour"
timeout 120 "$AUDIO_CHECK" compare "$work/lv2apply.wav" "$ardour_wav" --max-lag 8192 \
  --max-diff 1e-5 --min-corr 0.999999 --max-gain-error 1e-5 || fail "Ardour's render differs from lv2apply's"
echo "== compare input and Ardour"
timeout 120 "$AUDIO_CHECK" compare "$work/in.wav" "$ardour_wav" --max-lag 8192 --min-diff 0.05 ||
  fail "Ardour's render is (nearly) the dry input"
echo "ok"
