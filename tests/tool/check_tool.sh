#!/usr/bin/env bash
# Checks of vsthost from the outside: each case runs the tool and inspects its output,
# exit status and files. Usage: check_tool.sh CASE, with these variables set:
#   VSTHOST     the native vsthost
#   PLUGINS     directory of the native test plug-ins (test_gain.so, ...)
#   WORK        scratch directory for this case
#   DRAGONFLY   a third-party plug-in to load, or empty (cases needing it then skip)
#   WIN_VSTHOST, WIN_PLUGINS, WINE_RUN, WINE_PREFIX   for the wine cases
set -u
SKIP=77

case_name=$1
work="$WORK/$case_name"
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run NAME COMMAND...: runs the command, keeping stdout, stderr and status under NAME.
run() {
  local name=$1
  shift
  "$@" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
}

status_of() { cat "$work/$1.status"; }

expect_status() {
  local got
  got=$(status_of "$1")
  [ "$got" = "$2" ] || { cat "$work/$1.out" "$work/$1.err" >&2; fail "$1 exited with $got, expected $2"; }
}

# expect_line NAME LINE: the output of NAME has exactly this line.
expect_line() {
  grep -qxF -- "$2" "$work/$1.out" || { cat "$work/$1.out" >&2; fail "$1: no line '$2'"; }
}

expect_error() {
  grep -qF -- "$2" "$work/$1.err" || { cat "$work/$1.err" >&2; fail "$1: stderr lacks '$2'"; }
}

# value NAME KEY: the value of "KEY: value" in the output of NAME.
value() { sed -n "s/^$2: //p" "$work/$1.out" | head -n1; }

# less A B: true when the number A is smaller than B.
less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 < b + 0) }'; }

near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 1e-6) }'; }

same_file() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }

gain() { echo "$PLUGINS/$1.so"; }

need_dragonfly() {
  if [ -z "${DRAGONFLY:-}" ] || [ ! -f "$DRAGONFLY" ]; then
    echo "skipped: no Dragonfly reverb plug-in installed (package dragonfly-reverb-vst)"
    exit $SKIP
  fi
}

# Wine cases: the Windows tool and plug-ins, with paths on the Z: drive.
wine_host() { "$WINE_RUN" "$WINE_PREFIX" "$WIN_VSTHOST" "$@"; }
winpath() { echo "Z:$1"; }
dll() { winpath "$WIN_PLUGINS/$1.dll"; }

case "$case_name" in
usage)
  run help "$VSTHOST" --help
  expect_status help 0
  grep -q -- "--accumulate" "$work/help.out" || fail "--help does not document --accumulate"
  [ "$(grep -c '^  vsthost ' "$work/help.out")" -ge 2 ] || fail "--help gives no worked examples"
  run none "$VSTHOST"
  expect_status none 2
  run unknown "$VSTHOST" frobnicate
  expect_status unknown 2
  run no_out "$VSTHOST" render "$(gain test_gain)"
  expect_status no_out 2
  expect_error no_out "--out"
  run bad_param "$VSTHOST" render "$(gain test_gain)" --out "$work/x.wav" --param 0:0.5
  expect_status bad_param 2
  run bad_block "$VSTHOST" render "$(gain test_gain)" --out "$work/x.wav" --block 0
  expect_status bad_block 2
  run bad_signal "$VSTHOST" render "$(gain test_gain)" --out "$work/x.wav" --signal sine
  expect_status bad_signal 1
  expect_error bad_signal "unknown signal"
  run in_and_signal "$VSTHOST" render "$(gain test_gain)" --out "$work/x.wav" --in "$work/x.wav" --signal noise
  expect_status in_and_signal 2
  [ ! -e "$work/x.wav" ] || fail "a refused render wrote a file"
  # Scale factors that are not numbers in 0 < S <= 4 are refused before anything opens.
  for factor in 0 -1 nan inf 4.5 x; do
    run "bad_scale_$factor" "$VSTHOST" editor "$(gain test_gain)" --scale "$factor"
    expect_status "bad_scale_$factor" 2
    expect_error "bad_scale_$factor" "--scale needs a factor"
  done
  ;;

dragonfly_info)
  need_dragonfly
  run info "$VSTHOST" info "$DRAGONFLY"
  expect_status info 0
  grep -q '^name: ".*Dragonfly.*"$' "$work/info.out" || fail "info does not name the Dragonfly plug-in"
  expect_line info "numInputs: 2"
  expect_line info "numOutputs: 2"
  params=$(value info numParams)
  less 0 "$params" || fail "numParams is $params"
  for field in name label display value; do
    n=$(grep -c "^param\.[0-9]*\.$field: " "$work/info.out")
    [ "$n" = "$params" ] || fail "$n param $field lines for $params parameters"
  done
  grep -q '^param\.0\.name: "[^"]\+"$' "$work/info.out" || fail "parameter 0 has no name"
  grep -q '^program\.0\.name: "' "$work/info.out" || fail "no program names"
  grep -q '^flags: 0x[0-9A-F]\{8\} .*CanReplacing' "$work/info.out" || fail "flags line"
  grep -q '^uniqueID: ".*" 0x[0-9A-F]\{8\}$' "$work/info.out" || fail "uniqueID line"
  ;;

dragonfly_render)
  need_dragonfly
  run render "$VSTHOST" render "$DRAGONFLY" --signal impulse --seconds 1 --out "$work/out.wav"
  expect_status render 0
  run stat "$VSTHOST" stat "$work/out.wav"
  expect_status stat 0
  expect_line stat "channels: 2"
  expect_line stat "frames: 44100"
  expect_line stat "nonfinite: 0"
  expect_line stat "silent: no"
  # A reverb keeps sounding long after the impulse: sound in the last tenth of the second.
  last=$(value stat lastsound)
  less 39690 "$last" || fail "the output stops at frame $last"
  run trace "$VSTHOST" render "$DRAGONFLY" --signal drums --seconds 0.5 --block 256 --rate 48000 \
    --out "$work/drums.wav" --trace
  expect_status trace 0
  grep -q '^callback-count: audioMasterVersion [1-9]' "$work/trace.out" || fail "no version query in the trace"
  run stat2 "$VSTHOST" stat "$work/drums.wav"
  expect_line stat2 "rate: 48000"
  expect_line stat2 "frames: 24000"
  expect_line stat2 "silent: no"
  ;;

gain_info)
  run info "$VSTHOST" info "$(gain test_gain)"
  expect_status info 0
  expect_line info 'name: "TestGain"'
  expect_line info 'vendor: "Hallmere Tests"'
  expect_line info 'product: "Gain"'
  expect_line info 'vendorVersion: 3'
  expect_line info 'uniqueID: "Tgan" 0x5467616E'
  expect_line info 'version: 7'
  expect_line info 'numPrograms: 2'
  expect_line info 'numParams: 2'
  expect_line info 'flags: 0x00000010 CanReplacing'
  expect_line info 'param.0.name: "Gain"'
  expect_line info 'param.0.label: "x"'
  expect_line info 'param.0.display: "1.000"'
  expect_line info 'param.0.value: 0.500000'
  expect_line info 'param.1.name: "Swap \t "'
  expect_line info 'param.1.label: ""'
  expect_line info 'program.0.name: "Unity"'
  expect_line info 'program.1.name: "Half Swapped"'
  expect_line info 'canDo.2in2out: 1'
  expect_line info 'canDo.offline: -1'
  expect_line info 'editor: none'
  run fallback "$VSTHOST" info "$(gain test_gain_fallback)"
  expect_status fallback 0
  expect_line fallback 'name: "TestGain"'
  ;;

gain_render)
  # The gain plug-in at its defaults passes the signal through unchanged.
  run noise "$VSTHOST" render "$(gain test_gain)" --signal noise --seconds 0.5 --out "$work/noise.wav"
  expect_status noise 0
  expect_line noise "frames: 22050"
  expect_line noise "mode: replace"
  run stat_in "$VSTHOST" stat "$work/noise.wav"
  in0=$(value stat_in peak.0)
  in1=$(value stat_in peak.1)
  less 0.2 "$in0" || fail "noise peak $in0"
  less "$in0" 0.25 || fail "noise peak $in0"
  # Program 1 halves and swaps; a parameter set afterwards overrides the program's gain.
  run half "$VSTHOST" render "$(gain test_gain)" --in "$work/noise.wav" --program 1 --out "$work/half.wav"
  expect_status half 0
  run stat_half "$VSTHOST" stat "$work/half.wav"
  near "$(value stat_half peak.0)" "$(awk -v p="$in1" 'BEGIN { print p / 2 }')" || fail "program 1 is not half, swapped"
  near "$(value stat_half peak.1)" "$(awk -v p="$in0" 'BEGIN { print p / 2 }')" || fail "program 1 is not half, swapped"
  run double "$VSTHOST" render "$(gain test_gain)" --signal impulse --program 1 --param 0=1 --tail 0.25 \
    --seconds 0.25 --out "$work/double.wav"
  run stat_double "$VSTHOST" stat "$work/double.wav"
  expect_line stat_double "peak: 2"
  expect_line stat_double "frames: 22050"
  expect_line stat_double "lastsound: 0"
  # Accumulating into zeroed buffers gives what replacing gives; so does any block size.
  run acc "$VSTHOST" render "$(gain test_gain)" --signal drums --accumulate --out "$work/acc.wav"
  expect_line acc "mode: accumulate"
  run rep "$VSTHOST" render "$(gain test_gain)" --signal drums --replace --block 1 --out "$work/rep.wav"
  run big "$VSTHOST" render "$(gain test_gain)" --signal drums --block 65536 --quiet --out "$work/big.wav"
  [ ! -s "$work/big.out" ] || fail "--quiet still prints"
  same_file "$work/acc.wav" "$work/rep.wav"
  same_file "$work/acc.wav" "$work/big.wav"
  # Signals are the same on every run.
  run again "$VSTHOST" render "$(gain test_gain)" --signal drums --out "$work/again.wav"
  same_file "$work/acc.wav" "$work/again.wav"
  run stat_drums "$VSTHOST" stat "$work/acc.wav"
  expect_line stat_drums "silent: no"
  expect_line stat_drums "nonfinite: 0"
  run bad_rate "$VSTHOST" render "$(gain test_gain)" --in "$work/noise.wav" --rate 48000 --out "$work/x.wav"
  expect_status bad_rate 1
  run bad_program "$VSTHOST" render "$(gain test_gain)" --program 2 --out "$work/x.wav"
  expect_status bad_program 1
  run bad_index "$VSTHOST" render "$(gain test_gain)" --param 2=0.5 --out "$work/x.wav"
  expect_status bad_index 1
  ;;

formats)
  # Every format reads back without a word from sox, at the float render's level.
  command -v sox >/dev/null || fail "sox is not installed (tools/setup.sh installs it)"
  for format in float pcm24 pcm16; do
    run "$format" "$VSTHOST" render "$(gain test_gain)" --signal drums --format "$format" --quiet --out "$work/$format.wav"
    expect_status "$format" 0
    sox "$work/$format.wav" -n 2>"$work/sox_$format.err" || fail "sox cannot read the $format file"
    [ ! -s "$work/sox_$format.err" ] || { cat "$work/sox_$format.err" >&2; fail "sox warns about the $format file"; }
    run "stat_$format" "$VSTHOST" stat "$work/$format.wav"
    awk -v a="$(value stat_float peak)" -v b="$(value "stat_$format" peak)" \
      'BEGIN { d = a - b; exit !(d < 1e-4 && d > -1e-4) }' || fail "$format peak differs from the float render's"
  done
  run again "$VSTHOST" render "$(gain test_gain)" --signal drums --format pcm16 --quiet --out "$work/again.wav"
  same_file "$work/pcm16.wav" "$work/again.wav"
  # Damaged input: one line on standard error, status 1, nothing written.
  head -c 1000 "$work/float.wav" >"$work/cut.wav"
  head -c 58 "$work/float.wav" >"$work/empty.wav"
  echo "not audio at all" >"$work/text.wav"
  for bad in cut empty text; do
    run "in_$bad" "$VSTHOST" render "$(gain test_gain)" --in "$work/$bad.wav" --out "$work/x.wav"
    expect_status "in_$bad" 1
    [ "$(wc -l <"$work/in_$bad.err")" = 1 ] || { cat "$work/in_$bad.err" >&2; fail "$bad input: not one error line"; }
  done
  expect_error in_cut "truncated"
  [ ! -e "$work/x.wav" ] || fail "a render of a damaged file wrote one"
  run bad_format "$VSTHOST" render "$(gain test_gain)" --format pcm8 --out "$work/x.wav"
  expect_status bad_format 2
  # A long render on a terminal shows its progress there; the same render piped shows none.
  command -v script >/dev/null || fail "script (bsdutils) is not installed"
  script -qec "'$VSTHOST' render '$(gain test_gain)' --signal noise --seconds 61 --block 4096 --quiet --out '$work/long.wav'" \
    /dev/null >"$work/tty.out" </dev/null || fail "the long render failed"
  grep -q 'rendering: 100%, [0-9.]*x real time' "$work/tty.out" || { cat "$work/tty.out" >&2; fail "no progress line on a terminal"; }
  run piped "$VSTHOST" render "$(gain test_gain)" --signal noise --seconds 61 --block 4096 --quiet --out "$work/long.wav"
  [ ! -s "$work/piped.err" ] || fail "progress shown on a pipe"
  ;;

gain_trace)
  run trace "$VSTHOST" render "$(gain test_gain)" --signal noise --seconds 0.1 --out "$work/t.wav" --trace
  expect_status trace 0
  expect_line trace "callback: audioMasterVersion index=0 value=0 opt=0"
  expect_line trace 'callback: audioMasterCanDo index=0 value=0 opt=0 text="startStopProcess"'
  expect_line trace "callback-count: audioMasterVersion 1"
  # The plug-in's own thread calls the host a hundred times while it is resumed.
  expect_line trace "callback-count: audioMasterIdle 100"
  expect_line trace "callback-total: 103"
  ;;

broken_plugins)
  run missing "$VSTHOST" info "$work/no_such_plugin.so"
  expect_status missing 1
  expect_error missing "cannot load"
  run null "$VSTHOST" info "$(gain test_gain_null)"
  expect_status null 1
  expect_error null "returned no effect"
  run magic "$VSTHOST" info "$(gain test_gain_badmagic)"
  expect_status magic 1
  expect_error magic "bad magic 0x4E6F7065"
  run noentry "$VSTHOST" render "$(gain test_gain_noentry)" --out "$work/x.wav"
  expect_status noentry 1
  expect_error noentry "exports neither main nor VSTPluginMain"
  [ ! -e "$work/x.wav" ] || fail "a failed render wrote a file"
  run notlib "$VSTHOST" info "$0"
  expect_status notlib 1
  run odd "$VSTHOST" info "$(gain test_gain_odd)"
  expect_status odd 0
  expect_line odd "numParams: -3"
  grep -q '^editor: no size' "$work/odd.out" || fail "editor without size"
  if grep -q '^param\.' "$work/odd.out"; then fail "parameters listed for a negative count"; fi
  run odd_render "$VSTHOST" render "$(gain test_gain_odd)" --replace --out "$work/odd.wav"
  expect_status odd_render 1
  expect_error odd_render "no replacing process entry"
  # Without a replacing entry the host falls back to accumulating.
  run odd_auto "$VSTHOST" render "$(gain test_gain_odd)" --out "$work/odd.wav"
  expect_status odd_auto 0
  expect_line odd_auto "mode: accumulate"
  ;;

stat)
  "$VSTHOST" render "$(gain test_gain)" --signal impulse --seconds 0.01 --out "$work/i.wav" >/dev/null || fail "render"
  run good "$VSTHOST" stat "$work/i.wav"
  expect_status good 0
  expect_line good "frames: 441"
  expect_line good "peak: 1"
  expect_line good "lastsound: 0"
  head -c 100 "$work/i.wav" >"$work/short.wav"
  run short "$VSTHOST" stat "$work/short.wav"
  s=$(status_of short)
  [ "$s" = 0 ] || [ "$s" = 1 ] || fail "stat of a truncated file exited with $s"
  echo "not audio at all" >"$work/text.wav"
  run text "$VSTHOST" stat "$work/text.wav"
  expect_status text 1
  run missing "$VSTHOST" stat "$work/none.wav"
  expect_status missing 1
  ;;

wine_info)
  run info wine_host info "$(dll test_gain)"
  expect_status info 0
  expect_line info 'name: "TestGain"'
  expect_line info 'uniqueID: "Tgan" 0x5467616E'
  expect_line info 'param.1.name: "Swap \t "'
  expect_line info 'program.1.name: "Half Swapped"'
  run fallback wine_host info "$(dll test_gain_fallback)"
  expect_status fallback 0
  expect_line fallback 'name: "TestGain"'
  # Apart from the path line, both builds describe the plug-in identically.
  run native "$VSTHOST" info "$(gain test_gain)"
  diff <(grep -v '^plugin:' "$work/native.out") <(grep -v '^plugin:' "$work/info.out" | tr -d '\r') >&2 ||
    fail "native and Windows info differ"
  ;;

wine_render)
  for signal in impulse noise drums; do
    run "win_$signal" wine_host render "$(dll test_gain)" --signal "$signal" --program 1 --param 0=0.3 \
      --tail 0.1 --block 300 --out "$(winpath "$work/win_$signal.wav")" --trace
    expect_status "win_$signal" 0
    grep -q '^callback-count: audioMasterIdle 100' "$work/win_$signal.out" || fail "trace under wine"
    run "native_$signal" "$VSTHOST" render "$(gain test_gain)" --signal "$signal" --program 1 --param 0=0.3 \
      --tail 0.1 --block 300 --out "$work/native_$signal.wav"
    same_file "$work/win_$signal.wav" "$work/native_$signal.wav"
  done
  for format in pcm24 pcm16; do
    run "win_$format" wine_host render "$(dll test_gain)" --signal drums --format $format --out "$(winpath "$work/win_$format.wav")"
    run "native_$format" "$VSTHOST" render "$(gain test_gain)" --signal drums --format $format --out "$work/native_$format.wav"
    same_file "$work/win_$format.wav" "$work/native_$format.wav"
  done
  # Our own WAV reader agrees with libsndfile about a file libsndfile wrote.
  run win_stat wine_host stat "$(winpath "$work/native_drums.wav")"
  run native_stat "$VSTHOST" stat "$work/native_drums.wav"
  diff <(grep -v '^file:' "$work/native_stat.out") <(grep -v '^file:' "$work/win_stat.out" | tr -d '\r') >&2 ||
    fail "stat differs between the builds"
  run win_in wine_host render "$(dll test_gain)" --in "$(winpath "$work/native_noise.wav")" \
    --out "$(winpath "$work/win_in.wav")"
  run native_in "$VSTHOST" render "$(gain test_gain)" --in "$work/native_noise.wav" --out "$work/native_in.wav"
  same_file "$work/win_in.wav" "$work/native_in.wav"
  ;;

wine_errors)
  run null wine_host info "$(dll test_gain_null)"
  expect_status null 1
  expect_error null "returned no effect"
  run magic wine_host info "$(dll test_gain_badmagic)"
  expect_status magic 1
  expect_error magic "bad magic"
  run noentry wine_host info "$(dll test_gain_noentry)"
  expect_status noentry 1
  expect_error noentry "exports neither"
  run missing wine_host info "$(winpath "$work/none.dll")"
  expect_status missing 1
  expect_error missing "cannot load"
  run odd wine_host render "$(dll test_gain_odd)" --replace --out "$(winpath "$work/odd.wav")"
  expect_status odd 1
  "$VSTHOST" render "$(gain test_gain)" --signal drums --quiet --out "$work/drums.wav" || fail "native render"
  head -c 1000 "$work/drums.wav" >"$work/cut.wav"
  run cut wine_host render "$(dll test_gain)" --in "$(winpath "$work/cut.wav")" --out "$(winpath "$work/x.wav")"
  expect_status cut 1
  expect_error cut "truncated"
  [ "$(wc -l <"$work/cut.err")" = 1 ] || { cat "$work/cut.err" >&2; fail "a cut file: not one error line"; }
  ;;

*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
