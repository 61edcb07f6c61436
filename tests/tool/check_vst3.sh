#!/usr/bin/env bash
# Hallmere.vst3 or Hallmere.clap through vsthost, against Hallmere's VST 2.x library in the
# same tool.
# Usage: check_vst3.sh CASE (render, state, text), with these variables set:
#   HOST    the words that run vsthost (natively, or the Windows tool under wine)
#   VST2    the VST 2.x library and VST3 the bundle folder (or CLAP the module, with
#           FORMAT=clap), as that tool names them
#   WORK    scratch directory
#   WINE_PATHS=1  the tool takes Windows paths (Z: is the Unix root)
set -u
case_name=$1
format=${FORMAT:-vst3}
work="$WORK/${format}_$case_name"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
case $format in
vst3) under_test=VST3 format_name="VST 3" switches=(--param 14=1) ;;  # bypass on
clap) under_test=CLAP format_name=CLAP switches=(--param 8=0) ;;     # dry out off
*) fail "unknown format $format" ;;
esac
for v in HOST VST2 $under_test WORK; do [ -n "${!v:-}" ] || fail "$v is not set"; done
plugin=${!under_test}
read -r -a host <<<"$HOST"
path() { if [ "${WINE_PATHS:-0}" = 1 ]; then echo "Z:$1"; else echo "$1"; fi; }
tool() { "${host[@]}" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
render() { tool render "$@" --signal drums --seconds 1 --tail 1 --quiet >/dev/null; }
# The "param.I.KEY" lines of an info listing.
params() { grep "^param\.[0-9]*\.$2:" "$1"; }

case $case_name in
render)
  # Every program, and values on top of one, in blocks that split the buffers unevenly:
  # the same bits from both formats.
  while read -r name args; do
    read -r -a settings <<<"$args"
    render "$VST2" "${settings[@]}" --out "$(path "$work/$name.vst2.wav")" || fail "$name: VST 2.x render"
    render "$plugin" "${settings[@]}" --out "$(path "$work/$name.$format.wav")" || fail "$name: $format_name render"
    cmp -s "$work/$name.vst2.wav" "$work/$name.$format.wav" || fail "$name: the $format_name render differs"
    echo "$name: identical"
  done <<'TABLE'
program0 --program 0 --block 333
program1 --program 1 --block 333
program2 --program 2 --block 333
program3 --program 3 --block 333
program4 --program 4 --block 333
program5 --program 5 --block 333
program6 --program 6 --block 333
program7 --program 7 --block 333
values   --program 5 --param 2=0.41 --param 8=1 --param 11=0.2 --block 64 --rate 48000
TABLE
  ;;
state)
  # A state saved after settings brings back their render and their values; a damaged one
  # is refused.
  set_args=(--program 3 --param 2=0.9 --param 12=0.05)
  render "$plugin" "${set_args[@]}" --out "$(path "$work/set.wav")" --save-state "$(path "$work/state")" || fail "render and save"
  render "$plugin" --load-state "$(path "$work/state")" --out "$(path "$work/loaded.wav")" || fail "render a loaded state"
  cmp -s "$work/set.wav" "$work/loaded.wav" || fail "the loaded state renders differently"
  tool info "$plugin" "${set_args[@]}" >"$work/set.txt" || fail "info with settings"
  tool info "$plugin" --load-state "$(path "$work/state")" >"$work/loaded.txt" || fail "info of the state"
  diff <(params "$work/set.txt" value) <(params "$work/loaded.txt" value) >&2 || fail "the state's values differ"
  head -c 5 "$work/state" >"$work/cut"
  tool info "$plugin" --load-state "$(path "$work/cut")" >/dev/null 2>"$work/cut.err" && fail "a cut state was taken"
  grep -q "refused the state" "$work/cut.err" || fail "a cut state: $(cat "$work/cut.err")"
  ;;
text)
  # Each parameter set from the text it displays shows that text again, program and
  # switches included (the program first, as it sets the others); a text that means nothing
  # is refused.
  tool info "$plugin" --program 2 --param 2=0.77 --param 11=0.3 "${switches[@]}" >"$work/shown.txt" || fail "info"
  program=$(sed -n 's/^param\.\([0-9]*\)\.name: "Program"$/\1/p' "$work/shown.txt")
  [ -n "$program" ] || [ "$format" = clap ] || fail "no program parameter"
  texts=()
  while IFS= read -r line; do
    index=${line#param.}
    index=${index%%.*}
    text=${line#*: \"}
    if [ "$index" = "$program" ]; then
      texts=(--param-text "$index=${text%\"}" "${texts[@]}")
    else
      texts+=(--param-text "$index=${text%\"}")
    fi
  done < <(params "$work/shown.txt" display)
  [ ${#texts[@]} -ge 26 ] || fail "fewer than 13 parameter texts"
  tool info "$plugin" "${texts[@]}" >"$work/typed.txt" || fail "info with the texts"
  diff <(params "$work/shown.txt" display) <(params "$work/typed.txt" display) >&2 || fail "a text read back differs"
  tool info "$plugin" --param-text "2=fast" >/dev/null 2>"$work/bad.err" && fail "a meaningless text was taken"
  grep -q 'does not take the text "fast"' "$work/bad.err" || fail "a meaningless text: $(cat "$work/bad.err")"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
