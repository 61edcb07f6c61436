#!/usr/bin/env bash
# Hallmere in Ardour 7, headless, in one of two forms (FORMAT):
#
# vst2 (default): the plug-in is scanned and inserted by its unique id on a stereo track,
# program 2 ("Huge Hall") is selected and T60 (parameter 2) set to 0.4 through Ardour's Lua
# interface, and the session is exported. vsthost renders the same input with the same
# settings; the two renders must agree sample for sample, apart from the lag the sequencer
# may add and the plug-in's per-block denormal offset (a few 1e-8 from a sequence each
# instance draws once per audio call, so two instances that have not run the same calls
# differ by about that much).
#
# vst3: the bundle, on Ardour's VST 3 path, and the VST 2.x plug-in go on two tracks of one
# session with the same settings (program 0 as it is, and program 0 with T60 changed), the
# session is saved and loaded again, and each channel of the two renders is exported side
# by side: loaded together, the two instances run the very same audio calls, so the
# channels must be identical, bit for bit. The values must have survived the reload, and
# the VST 3 render before the reload must match vsthost's like the VST 2.x one.
#
# Variables: VSTHOST, PLUGIN (Hallmere.so), AUDIO_CHECK, WORK (scratch folder); for vst3
# also BUNDLE (Hallmere.vst3). Optional: FORMAT, ARDOUR_LUA (default ardour7-lua),
# ARDOUR_VST_SCANNER, ARDOUR_VST3_SCANNER.
# Exits 77 (skipped) when Ardour is not installed.
set -u
SKIP=77
here=$(cd "$(dirname "$0")" && pwd)
format=${FORMAT:-vst2}

unique_id=1417037933                      # "TvHm"
class_id=1B2D2017E3C5473092A3AD2F6CE47B77  # the VST 3 class
program=2                                 # "Huge Hall"
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
scanner3=${ARDOUR_VST3_SCANNER:-/usr/lib/ardour7/ardour-vst3-scanner}
if [ -z "$ardour_lua" ] || [ ! -x "$scanner" ] || { [ "$format" = vst3 ] && [ ! -x "$scanner3" ]; }; then
  echo "skipped: Ardour 7 is not installed (package ardour; tools/setup.sh installs it)"
  exit $SKIP
fi
needed="VSTHOST PLUGIN AUDIO_CHECK WORK"
[ "$format" = vst3 ] && needed="$needed BUNDLE"
for v in $needed; do
  [ -n "${!v:-}" ] || fail "$v is not set"
done
[ -f "$PLUGIN" ] || fail "no plug-in at $PLUGIN"

work=$WORK
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Ardour searches LXVST_PATH alone when it is set, and VST 3 bundles in ~/.vst3 among
# others: what it reads or writes stays in $work.
source "$here/ardour_home.sh"
export LXVST_PATH=$work/lxvst
mkdir -p "$LXVST_PATH" "$HOME/.vst3"

# The test input: 50 ms of silence, one second of vsthost's drums (distinct noise in the two
# channels, so a swap shows), then two seconds of silence for the tail.
step input 30 "$AUDIO_CHECK" make "$work/in.wav" "$work/in-L.wav" "$work/in-R.wav" \
  --rate $rate --lead 0.05 --drums 1 --tail 2 || { cat "$work/input.log"; fail "could not make the input"; }
frames=$(sed -n 's/^frames: //p' "$work/input.log")

# Ardour loads only plug-ins it has scanned, and trusts a cache entry only when it is newer
# than the plug-in (in whole seconds): one written in the same second counts as out of date
# and its plug-in is left out, logged with scan-result="2". Date the copies back instead of
# waiting.
cp "$PLUGIN" "$LXVST_PATH/Hallmere.so"
touch -d "@$(($(date +%s) - 10))" "$LXVST_PATH/Hallmere.so"
LD_LIBRARY_PATH=/usr/lib/ardour7${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
  step scan 120 "$scanner" -f "$LXVST_PATH/Hallmere.so" || { cat "$work/scan.log"; fail "the scanner failed"; }
grep -qs "id=\"$unique_id\" name=\"Hallmere\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v2i ||
  { cat "$work/scan.log"; fail "Ardour's scan did not record Hallmere ($unique_id)"; }
if [ "$format" = vst3 ]; then
  # The cache file is named after the bundle's path as the scanner was given it: the
  # absolute path Ardour searches, or Ardour never reads it.
  cp -r "$BUNDLE" "$HOME/.vst3/Hallmere.vst3"
  find "$HOME/.vst3/Hallmere.vst3" -exec touch -d "@$(($(date +%s) - 10))" {} +
  LD_LIBRARY_PATH=/usr/lib/ardour7${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
    step scan3 120 "$scanner3" -f "$HOME/.vst3/Hallmere.vst3" || { cat "$work/scan3.log"; fail "the VST 3 scanner failed"; }
  grep -qs "uid=\"$class_id\" name=\"Hallmere\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v3i ||
    { cat "$work/scan3.log"; fail "Ardour's scan did not record Hallmere.vst3 ($class_id)"; }
fi

# session FOLDER [TRACK...]: a session with the input on each track. Ardour looks for a
# session's audio in interchange/<session folder name>/audiofiles.
session() {
  local folder=$1
  shift
  step session 120 "$ardour_lua" "$here/make_session.lua" "$folder" hallmere $rate "$frames" in-L.wav in-R.wav "$@"
  grep -q 'name="input.1"' "$folder/hallmere.ardour" 2>/dev/null ||
    { cat "$work/session.log"; fail "no session with the input region"; }
  cp "$work/in-L.wav" "$work/in-R.wav" "$folder/interchange/hallmere/audiofiles/"
}

# render NAME FOLDER PLUGIN [PROGRAM [INDEX=VALUE...]]: render_session.lua exports to
# $work/NAME/ ($wav, its log in $log). The Lua tool may crash after its work, or within the
# export now and then: a step is judged by the file it left, and a missing or short one is
# tried once more, from the session as it was before.
render() {
  local name=$1 folder=$2 attempt
  shift 2
  rm -rf "$folder.before"
  cp -r "$folder" "$folder.before"
  log=$work/$name.log
  for attempt in 1 2; do
    rm -rf "$work/$name" "$folder"
    cp -r "$folder.before" "$folder"
    step "$name" 300 "$ardour_lua" "$here/render_session.lua" "$folder" hallmere "$work/$name" ardour \
      $export_preset "$@"
    wav=$(ls "$work/$name"/*.wav 2>/dev/null | head -n1)
    [ -n "$wav" ] && [ "$(stat -c %s "$wav")" -ge $((frames * 8)) ] && return 0
    echo "attempt $attempt left no whole export"
  done
  cat "$log"
  fail "Ardour exported nothing ($name)"
}
# param PREFIX INDEX: the value the last render's log gives (PREFIX names another track).
param() { sed -n "s/^$1param: $2 //p" "$log"; }
near() { awk -v v="$1" -v t="$2" 'BEGIN { d = (v - t) / (1 + (t < 0 ? -t : t)); exit !(d < 1e-6 && d > -1e-6) }'; }

# like_vsthost NAME PROGRAM [VSTHOST OPTION...]: vsthost renders the input with the same
# plug-in and settings, and $wav must match it. Only the lag and the per-block denormal
# offset may differ. The offsets come from a sequence each instance draws once per audio
# call, and Ardour's instance has run audio calls before the export, so nearly every sample
# differs in its last bits: about 3e-7 of the peak here, about as much as two vsthost renders
# with different block sizes differ. A real fault differs far more: T60 off by 0.001 already
# gives 4e-4, pan off by 0.01 gives 6e-3. The gain must be unity: the track and master
# faders, panners and the export add none.
like_vsthost() {
  local name=$1 with_program=$2
  shift 2
  step "vsthost-$name" 60 "$VSTHOST" render "$PLUGIN" --in "$work/in.wav" --out "$work/vsthost-$name.wav" \
    --rate $rate --block $block --program "$with_program" "$@" || { cat "$work/vsthost-$name.log"; fail "vsthost failed"; }
  echo "== compare vsthost and Ardour ($name)"
  timeout 120 "$AUDIO_CHECK" compare "$work/vsthost-$name.wav" "$wav" --max-lag 8192 \
    --max-diff 1e-5 --min-corr 0.999999 --max-gain-error 1e-5
  [ $? -eq 0 ] || fail "Ardour's render differs from vsthost's ($name)"
  # And the render is not the dry input: the reverb really ran inside Ardour.
  echo "== compare input and Ardour ($name)"
  timeout 120 "$AUDIO_CHECK" compare "$work/in.wav" "$wav" --max-lag 8192 --min-diff 0.05
  [ $? -eq 0 ] || fail "Ardour's render is (nearly) the dry input ($name)"
}

if [ "$format" = vst2 ]; then
  session "$work/hallmere"
  render render "$work/hallmere" $unique_id $program 2=$t60
  cat "$log"
  # Ardour leaves out a plug-in that fails to load and exports the dry track: the insert
  # must be there, active, and hold the settings.
  grep -qx "inserts: 1" "$log" || fail "the track does not hold exactly one insert"
  grep -qx "insert: 0 $unique_id Hallmere active=true" "$log" || fail "Hallmere is not the track's active insert"
  grep -qF "program: VST:$unique_id:$(printf %04d $program) \"Huge Hall" "$log" || fail "program $program was not selected"
  near "$(param "" 2)" $t60 || fail "T60 reads $(param "" 2), not $t60"
  # Room size is 1 in "Huge Hall" and 0.5 in the default program: the program change arrived.
  [ "$(param "" 11)" = "1" ] || fail "room size reads '$(param "" 11)', not program $program's 1"
  like_vsthost huge-hall $program --param 2=$t60
  echo "ok"
  exit 0
fi
[ "$format" = vst3 ] || fail "FORMAT is vst2 or vst3, not $format"

# One case a row: its name, the program, and T60 as the VST 2.x control takes it (0..1)
# and as the VST 3 control does (ms: 100 + 6900 x), or "-" to leave the program's.
while read -r -u 3 name case_program t60_vst2 t60_vst3; do
  folder=$work/$name/hallmere
  session "$folder" Reverb Reference
  values2=() values3=() options=()
  [ "$t60_vst3" = - ] || { values2=(2=$t60_vst2); values3=(2=$t60_vst3); options=(--param 2=$t60_vst2); }

  TRACK=Reverb render "$name-vst3" "$folder" vst3:$class_id $case_program "${values3[@]}"
  cat "$log"
  grep -qx "inserts: 1" "$log" || fail "the track does not hold exactly one insert ($name)"
  grep -qx "insert: 0 $class_id Hallmere active=true" "$log" || fail "Hallmere.vst3 is not the track's active insert"
  grep -qF "program: VST3-P:$class_id:$(printf %04d $case_program) \"Default\"" "$log" ||
    fail "program $case_program was not selected ($name)"
  [ "$t60_vst3" = - ] || near "$(param "" 2)" $t60_vst3 || fail "T60 reads $(param "" 2), not $t60_vst3 ms ($name)"
  like_vsthost "$name" $case_program "${options[@]}"

  TRACK=Reference render "$name-vst2" "$folder" $unique_id $case_program "${values2[@]}"
  grep -qx "insert: 0 $unique_id Hallmere active=true" "$log" || { cat "$log"; fail "no VST 2.x reference ($name)"; }

  # The saved session loaded again, each channel of the two plug-ins side by side.
  for channel in 0 1; do
    SPLIT_CHANNEL=$channel render "$name-channel$channel" "$folder" saved
    grep -qx "insert: 0 $class_id Hallmere active=true" "$log" || { cat "$log"; fail "the reload lost Hallmere.vst3"; }
    grep -qx "Reference insert: 0 $unique_id Hallmere active=true" "$log" ||
      { cat "$log"; fail "the reload lost the VST 2.x reference"; }
    if [ "$t60_vst3" != - ]; then
      near "$(param "" 2)" $t60_vst3 || fail "after the reload T60 reads $(param "" 2), not $t60_vst3 ms ($name)"
      near "$(param "Reference " 2)" $t60_vst2 ||
        fail "after the reload the reference's T60 reads $(param "Reference " 2), not $t60_vst2 ($name)"
    fi
    echo "== Hallmere.vst3 and Hallmere.so, channel $channel ($name)"
    timeout 120 "$AUDIO_CHECK" same "$wav" || fail "Hallmere.vst3 renders channel $channel unlike Hallmere.so ($name)"
  done
done 3<<'CASES'
program-0 0 - -
t60 0 0.4 2860
CASES
echo "ok"
