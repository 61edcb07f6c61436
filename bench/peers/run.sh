#!/usr/bin/env bash
# How much CPU Hallmere costs next to other reverbs on this machine: CPU seconds (user +
# system, whole process) per minute of 44.1 kHz stereo audio, for
#   - Hallmere and Dragonfly Room Reverb rendered by vsthost,
#   - sox's reverb effect,
#   - the TAP Reverberator (LADSPA) through applyplugin,
#   - Hallmere and Dragonfly Room Reverb inside an Ardour 7 export, net of the same export
#     without a plug-in.
# Every reverb runs at its default settings (Hallmere: program 0) on one minute of
# vsthost's drums. Each measurement is the fastest of RUNS runs (default 3), since other
# work on a shared machine only ever adds time. Prints a markdown table.
#
# Usage: bench/peers/run.sh [BUILD_DIR]   (default build/native: a native build with the
# targets Hallmere, vsthost and audio_check). Needs tools/setup.sh's packages.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)
runs=${RUNS:-3}
rate=44100
seconds=60

vsthost=$build/tools/vsthost
hallmere=$build/plugin/Hallmere.so
audio_check=$build/tests/ardour/audio_check
dragonfly=/usr/lib/lxvst/DragonflyRoomReverb-vst.so
tap=/usr/lib/ladspa/tap_reverb.so
ardour_lua=$(command -v ardour7-lua || true)
scanner=/usr/lib/ardour7/ardour-vst-scanner
lua_dir=$root/tests/ardour
hallmere_id=1417037933
dragonfly_id=1684435506
export_preset=8d1c3f0a-6a55-4c43-9d47-3e0b7f1a2c02

for f in "$vsthost" "$hallmere" "$audio_check"; do
  [ -x "$f" ] || [ -f "$f" ] || {
    echo "missing $f: cmake --preset native && cmake --build build/native --target Hallmere vsthost audio_check" >&2
    exit 1
  }
done
for f in "$dragonfly" "$tap" "$scanner" /usr/bin/sox /usr/bin/applyplugin /usr/bin/time; do
  [ -e "$f" ] || { echo "missing $f: run tools/setup.sh" >&2; exit 1; }
done
[ -n "$ardour_lua" ] || { echo "missing ardour7-lua: run tools/setup.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# cpu COMMAND...: the fewest CPU seconds (user + system) over $runs runs of the command;
# its output goes to $work/last.log. A run must succeed: by its exit status, or, when the
# variable `judge` names a function, by what that function says after the run. The
# function named by `prepare`, if any, runs before each run, outside the timing.
cpu() {
  local best="" t status
  for ((i = 0; i < runs; i++)); do
    [ -z "${prepare:-}" ] || "$prepare"
    status=0
    /usr/bin/time -f "%U %S" -o "$work/time" timeout -k 10 600 "$@" >"$work/last.log" 2>&1 || status=$?
    if [ -n "${judge:-}" ]; then "$judge" && status=0 || status=1; fi
    [ $status -eq 0 ] || { cat "$work/last.log" >&2; echo "failed: $*" >&2; exit 1; }
    t=$(awk '$1 ~ /^[0-9.]+$/ { printf "%.2f", $1 + $2 }' "$work/time" | tail -n1)
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best"
}

echo "input: $seconds s of drums at $rate Hz" >&2
"$audio_check" make "$work/drums.wav" "$work/drums-L.wav" "$work/drums-R.wav" \
  --rate $rate --lead 0 --drums $seconds --tail 0 >/dev/null
sox "$work/drums.wav" -b 16 "$work/drums16.wav"  # applyplugin reads 16-bit files only

echo "vsthost" >&2
t_hallmere=$(cpu "$vsthost" render "$hallmere" --in "$work/drums.wav" --out "$work/out.wav" --quiet)
t_dragonfly=$(cpu "$vsthost" render "$dragonfly" --in "$work/drums.wav" --out "$work/out.wav" --quiet)
echo "sox" >&2
t_sox=$(cpu sox "$work/drums.wav" "$work/out.wav" reverb)
echo "applyplugin" >&2
# TAP Reverberator's eight controls at their defaults: decay 2500 ms, dry and wet 0 dB,
# comb, allpass and bandpass filters and enhanced stereo on, reverb type 0.
t_tap=$(cpu applyplugin "$work/drums16.wav" "$work/out.wav" "$tap" tap_reverb 2500 0 0 1 1 1 1 0)

echo "ardour" >&2
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
export LXVST_PATH=$work/lxvst
mkdir -p "$HOME" "$XDG_CONFIG_HOME/ardour7/export" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$LXVST_PATH"
cp "$lua_dir"/export/hallmere-float.* "$XDG_CONFIG_HOME/ardour7/export/"
cp "$hallmere" "$dragonfly" "$LXVST_PATH/"
touch -d "@$(($(date +%s) - 10))" "$LXVST_PATH"/*.so
for so in "$LXVST_PATH"/*.so; do
  LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 120 "$scanner" -f "$so" >"$work/scan.log" 2>&1 || true
done
for id in $hallmere_id $dragonfly_id; do
  grep -qs "id=\"$id\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v2i || { echo "Ardour did not scan plug-in $id" >&2; exit 1; }
done

frames=$((rate * seconds))
timeout 120 "$ardour_lua" "$lua_dir/make_session.lua" "$work/pristine/bench" bench $rate $frames \
  drums-L.wav drums-R.wav >"$work/session.log" 2>&1 || true
grep -q 'name="input.1"' "$work/pristine/bench/bench.ardour" || { cat "$work/session.log" >&2; exit 1; }
cp "$work/drums-L.wav" "$work/drums-R.wav" "$work/pristine/bench/interchange/bench/audiofiles/"

# Each export starts from a fresh copy of the session. The Lua tool may crash while shutting
# down after a complete export, so a run is judged by the exported file.
fresh_session() {
  rm -rf "$work/run" "$work/export"
  cp -r "$work/pristine" "$work/run"
}
exported() { ls "$work"/export/*.wav >/dev/null 2>&1; }
export_with() {
  prepare=fresh_session judge=exported cpu "$ardour_lua" "$lua_dir/render_session.lua" "$work/run/bench" bench \
    "$work/export" out $export_preset "$1"
}
t_empty=$(export_with none)
t_ardour_hallmere=$(export_with $hallmere_id)
grep -q "^insert: 0 $hallmere_id " "$work/last.log" || { echo "Hallmere was not inserted" >&2; exit 1; }
t_ardour_dragonfly=$(export_with $dragonfly_id)
grep -q "^insert: 0 $dragonfly_id " "$work/last.log" || { echo "Dragonfly was not inserted" >&2; exit 1; }

net() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a - b }'; }
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"; }
echo
echo "CPU seconds per minute of ${rate} Hz stereo audio (user + system, fastest of $runs runs; $(nproc) cores, $(uname -m))"
echo
row "Reverb" "Host" "CPU s / min" "Notes"
row "---" "---" "---:" "---"
row "Hallmere (program 0)" "vsthost" "$t_hallmere" "whole process: float WAV in and out"
row "Dragonfly Room Reverb" "vsthost" "$t_dragonfly" "whole process"
row "sox reverb (defaults)" "sox" "$t_sox" "whole process"
row "TAP Reverberator (defaults)" "applyplugin" "$t_tap" "whole process, 16-bit WAV in and out"
row "Hallmere (program 0)" "Ardour 7 export" "$(net "$t_ardour_hallmere" "$t_empty")" "net of the export without a plug-in"
row "Dragonfly Room Reverb" "Ardour 7 export" "$(net "$t_ardour_dragonfly" "$t_empty")" "net of the export without a plug-in"
row "(no plug-in)" "Ardour 7 export" "$t_empty" "the baseline: start-up, session load, export"
