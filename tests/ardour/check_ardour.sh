#!/usr/bin/env bash
# Hallmere in Ardour 7, headless: the plug-in is scanned and inserted by its unique id on a
# stereo track, program 2 ("Huge Hall") is selected and T60 (parameter 2) set to 0.4 through
# Ardour's Lua interface, and the session is exported. vsthost renders the same input with
# the same settings; the two renders must agree sample for sample, apart from the lag the
# sequencer may add and the plug-in's per-block denormal offset (a few 1e-8, drawn once per
# block, so a host with another block size differs by about that much).
#
# Variables: VSTHOST, PLUGIN (Hallmere.so), AUDIO_CHECK, WORK (scratch folder).
# Optional: ARDOUR_LUA (default ardour7-lua), ARDOUR_VST_SCANNER.
# Exits 77 (skipped) when Ardour is not installed.
set -u
SKIP=77
here=$(cd "$(dirname "$0")" && pwd)

unique_id=1417037933  # "TvHm"
program=2             # "Huge Hall"
t60=0.4
rate=48000
block=512
export_preset=8d1c3f0a-6a55-4c43-9d47-3e0b7f1a2c02  # export/hallmere-float.preset

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

ardour_lua=${ARDOUR_LUA:-$(command -v ardour7-lua || true)}
scanner=${ARDOUR_VST_SCANNER:-/usr/lib/ardour7/ardour-vst-scanner}
if [ -z "$ardour_lua" ] || [ ! -x "$scanner" ]; then
  echo "skipped: Ardour 7 is not installed (package ardour; tools/setup.sh installs it)"
  exit $SKIP
fi
for v in VSTHOST PLUGIN AUDIO_CHECK WORK; do
  [ -n "${!v:-}" ] || fail "$v is not set"
done
[ -f "$PLUGIN" ] || fail "no plug-in at $PLUGIN"

work=$WORK
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Ardour searches LXVST_PATH alone when it is set: everything it reads or writes stays in $work.
source "$here/ardour_home.sh"
export LXVST_PATH=$work/lxvst
mkdir -p "$LXVST_PATH"

# The test input: 50 ms of silence, one second of vsthost's drums (distinct noise in the two
# channels, so a swap shows), then two seconds of silence for the tail.
step input 30 "$AUDIO_CHECK" make "$work/in.wav" "$work/in-L.wav" "$work/in-R.wav" \
  --rate $rate --lead 0.05 --drums 1 --tail 2 || { cat "$work/input.log"; fail "could not make the input"; }
frames=$(sed -n 's/^frames: //p' "$work/input.log")

# Ardour loads only plug-ins it has scanned, and trusts a cache entry only when it is
# newer than the file (in whole seconds): date the copy back instead of waiting.
cp "$PLUGIN" "$LXVST_PATH/Hallmere.so"
touch -d "@$(($(date +%s) - 10))" "$LXVST_PATH/Hallmere.so"
LD_LIBRARY_PATH=/usr/lib/ardour7${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
  step scan 120 "$scanner" -f "$LXVST_PATH/Hallmere.so" || { cat "$work/scan.log"; fail "the scanner failed"; }
grep -qs "id=\"$unique_id\" name=\"Hallmere\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v2i ||
  { cat "$work/scan.log"; fail "Ardour's scan did not record Hallmere ($unique_id)"; }

# The Lua tool may crash while shutting down after it has done its work, so each step is
# judged by what it left behind, not by its exit status.
# Ardour looks for a session's audio in interchange/<session folder name>/audiofiles.
session=$work/hallmere
step session 120 "$ardour_lua" "$here/make_session.lua" "$session" hallmere $rate "$frames" in-L.wav in-R.wav
grep -q 'name="input.1"' "$session/hallmere.ardour" 2>/dev/null ||
  { cat "$work/session.log"; fail "no session with the input region"; }
cp "$work/in-L.wav" "$work/in-R.wav" "$session/interchange/hallmere/audiofiles/"

step render 300 "$ardour_lua" "$here/render_session.lua" "$session" hallmere "$work/export" ardour \
  $export_preset $unique_id $program 2=$t60
log=$work/render.log
ardour_wav=$(ls "$work"/export/*.wav 2>/dev/null | head -n1)
[ -n "$ardour_wav" ] || { cat "$log"; fail "Ardour exported nothing"; }
cat "$log"

# Ardour leaves out a plug-in that fails to load and exports the dry track: the insert
# must be there, active, and hold the settings.
grep -qx "inserts: 1" "$log" || fail "the track does not hold exactly one insert"
grep -qx "insert: 0 $unique_id Hallmere active=true" "$log" || fail "Hallmere is not the track's active insert"
grep -qF "program: VST:$unique_id:$(printf %04d $program) \"Huge Hall" "$log" || fail "program $program was not selected"
param() { sed -n "s/^param: $1 //p" "$log"; }
awk -v v="$(param 2)" -v t=$t60 'BEGIN { d = v - t; exit !(d < 1e-6 && d > -1e-6) }' || fail "T60 reads $(param 2), not $t60"
# Room size is 1 in "Huge Hall" and 0.5 in the default program: the program change arrived.
[ "$(param 11)" = "1" ] || fail "room size reads '$(param 11)', not program $program's 1"

step reference 60 "$VSTHOST" render "$PLUGIN" --in "$work/in.wav" --out "$work/vsthost.wav" \
  --rate $rate --block $block --program $program --param 2=$t60 || { cat "$work/reference.log"; fail "vsthost failed"; }

# The same plug-in, settings and input in both hosts: only the lag and the per-block
# denormal offset may differ. The offset is drawn once per audio call from the C library's
# random sequence, which the two processes do not share, so nearly every sample differs in
# its last bits: about 3e-7 of the peak here, about as much as two vsthost renders with
# different block sizes differ. A real fault differs far more: T60 off by 0.001 already
# gives 4e-4, pan off by 0.01 gives 6e-3. The gain must be unity: the track and master
# faders, panners and the export add none.
echo "== compare vsthost and Ardour"
timeout 120 "$AUDIO_CHECK" compare "$work/vsthost.wav" "$ardour_wav" --max-lag 8192 \
  --max-diff 1e-5 --min-corr 0.999999 --max-gain-error 1e-5
[ $? -eq 0 ] || fail "Ardour's render differs from vsthost's"

# And the render is not the dry input: the reverb really ran inside Ardour.
echo "== compare input and Ardour"
timeout 120 "$AUDIO_CHECK" compare "$work/in.wav" "$ardour_wav" --max-lag 8192 --min-diff 0.05
[ $? -eq 0 ] || fail "Ardour's render is (nearly) the dry input"
echo "ok"
