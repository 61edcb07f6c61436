#!/usr/bin/env bash
# End-to-end checks of the plug-in's editor: the Windows host (vsthost.exe editor) runs the
# Windows DLL under wine on a virtual X display, plays real mouse input into the panel and
# reports the host callbacks, parameters, object counts and screenshots, which are
# checked here by regions of the panel.
#   check_editor.sh NAME
# Environment: WIN_VSTHOST, WIN_DLL, WIN_VST3, WINE_RUN, WINE_PREFIX (and WINE_BITS), WORK.
set -u
name=$1
work=$WORK/$name
rm -rf "$work"
mkdir -p "$work"
pixels="$(dirname "$0")/panel_pixels.py"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if ! "$@"; then fail "$what"; fi
}

vst3_plugin="Z:${WIN_VST3:-}"

# editor ARGS... : runs a session on the DLL, or on $session_plugin when that is set; its
# output is in $work/out.txt.
editor() {
  WINE_KEEP_DISPLAY=1 timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$WINE_RUN" "$WINE_PREFIX" "$WIN_VSTHOST" editor "${session_plugin:-Z:$WIN_DLL}" "$@" >"$work/out.txt" 2>"$work/err.txt"
  local status=$?
  if [ $status -ne 0 ]; then
    echo "vsthost editor exited with $status"
    cat "$work/err.txt"
    tail -20 "$work/out.txt"
    exit 1
  fi
}

shot() { echo "Z:$work/$1.bmp"; }
bmp() { echo "$work/$1.bmp"; }

# The edit lines printed for one step (the step line itself excluded).
step_edits() {
  awk -v want="step: $1" '$0 == want { on = 1; next } /^step: / { on = 0 } on && /^edit: /' "$work/out.txt"
}

# The edits of the drag across the T60 knob: one bracket around several value edits ($1:
# automate or perform) of index 2 alone; $2 is the drag's step when the panel is scaled.
# They are in $work/drag.txt, their count in $values.
expect_t60_drag() {
  step_edits "${2:-drag 38,84,58,84}" >"$work/drag.txt"
  expect "drag begins an edit of 2" eq "$(head -1 "$work/drag.txt")" "edit: begin index=2"
  expect "drag ends the edit of 2" eq "$(tail -1 "$work/drag.txt")" "edit: end index=2"
  values=$(grep -c "^edit: $1 index=2 " "$work/drag.txt")
  expect "several edits of the value ($values)" gt "$values" 4
  expect "only index 2 edited" eq "$(grep -vc "index=2" "$work/drag.txt")" 0
}

param() { awk -v i="$1" '$1 == "param:" && $2 == i { v = $3 } END { print v }' "$work/out.txt"; }

# Field of a "counts: LABEL ..." line, e.g. count_field closed-first gdi-live.
count_field() {
  awk -v label="$1" -v key="$2" '$1 == "counts:" && $2 == label {
      for (i = 3; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == key) print kv[2] } }' "$work/out.txt"
}

diff_pixels() { "$pixels" diff "$(bmp "$1")" "$(bmp "$2")" "${@:3}"; }
text_pixels() { "$pixels" near "$(bmp "$1")" "${@:2}" 0 183 224 60; }

gt() { [ "$1" -gt "$2" ]; }
lt() { [ "$1" -lt "$2" ]; }
eq() { [ "$1" = "$2" ]; }

# Knob tops-left in parameter order of the panel, and their value fields below them.
knobs="2:36,76 3:94,76 6:165,76 9:235,76 5:305,76 4:36,161 11:94,161 7:165,161 10:235,161 12:305,161"

# Natively the Linux host runs Hallmere.so under X11; editor_x11.sh replaces the runner.
if [ "${EDITOR_HOST:-wine}" = x11 ]; then . "$(dirname "$0")/editor_x11.sh"; fi

case "$name" in
  vst3_panel)
    # The VST 3 bundle's view in the same session as the VST 2.x editor: drawn alike, edited
    # with brackets, and closed and opened without leaving windows behind.
    editor --screenshot "$(shot vst2)"
    session_plugin=$vst3_plugin
    editor --screenshot "$(shot before)" --drag 38,84,58,84 --screenshot "$(shot after)" --params --cycles 5
    expect "view size" grep -q "^editor-rect: main top=0 left=0 bottom=251 right=448 width=448 height=251$" "$work/out.txt"
    expect "the view's window inside the host's" grep -q "^editor-open: main child=yes .*size=448x251$" "$work/out.txt"
    # The meter shows whatever the audio thread last played; the rest is the same artwork.
    expect "drawn as the VST 2.x panel" eq \
      "$(diff_pixels vst2 before 0 0 413 251) $(diff_pixels vst2 before 428 0 448 251)" "0 0"
    expect_t60_drag perform
    first=$(grep perform "$work/drag.txt" | head -1 | awk -F= '{ print $3 }')
    last=$(grep perform "$work/drag.txt" | tail -1 | awk -F= '{ print $3 }')
    expect "the value rose ($first to $last)" awk -v a="$first" -v b="$last" 'BEGIN { exit !(b > a + 0.1) }'
    expect "parameter 2 holds the last value" eq "$(param 2)" "$last"
    expect "knob handle moved" gt "$(diff_pixels before after 36 76 60 100)" 10
    if [ "${EDITOR_HOST:-wine}" = x11 ]; then
      expect "no view window after the first close" eq "$(count_field closed-first children)" 0
      expect "no view window after the 5th close" eq "$(count_field closed-last children)" 0
      expect "descriptors after the first close equal after the 5th" \
        eq "$(count_field closed-first fds)" "$(count_field closed-last fds)"
      expect "one view window while open" eq "$(count_field open-after children)" 1
      expect "no window left after the session" eq "$(count_field closed children)" 0
    else
      for key in gdi-live user-live; do
        expect "$key after the first close equals after the 5th" \
          eq "$(count_field closed-first $key)" "$(count_field closed-last $key)"
      done
      expect "no window left after the session" eq "$(count_field closed user-live)" 0
    fi
    ;;
  vst3_panel_200)
    # The view at content scale 2: twice the size, the artwork program's picture at 200 % to
    # the pixel but for the value texts and the parts the host's state decides, and the
    # T60 drag and the Dry out click at twice the positions.
    session_plugin=$vst3_plugin
    editor --scale 2 --screenshot "$(shot before)" --drag 76,168,116,168 --click 742,136 --params
    expect "view size at 200 %" grep -q "^editor-rect: main top=0 left=0 bottom=502 right=896 width=896 height=502$" "$work/out.txt"
    expect "the view's window at 200 %" grep -q "^editor-open: main child=yes .*size=896x502$" "$work/out.txt"
    expect "drawn as the artwork program's picture at 200 %" eq "$("$UNLIKE_ARTWORK" 2 "$(bmp before)")" 0
    expect_t60_drag perform "drag 76,168,116,168"
    expect "the click switches Dry out on" eq "$(step_edits "click 742,136")" "edit: perform index=8 value=1.000000"
    # The VST 2.x editor has one size: the tool refuses a scale for it.
    unset session_plugin
    WINE_KEEP_DISPLAY=1 timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" \
      "$WINE_RUN" "$WINE_PREFIX" "$WIN_VSTHOST" editor "Z:$WIN_DLL" --scale 2 >"$work/vst2.txt" 2>"$work/vst2_err.txt"
    expect "no scale for the VST 2.x editor" grep -q "a VST 2.x editor has one size and no scale factor" "$work/vst2_err.txt"
    expect "no VST 2.x editor opened at a scale" eq "$(grep -c "^editor-open" "$work/vst2.txt")" 0
    ;;
  open_cycles)
    editor --screenshot "$(shot open)" --cycles 100 --screenshot "$(shot reopened)"
    expect "editor size" grep -q "^editor-rect: main top=0 left=0 bottom=251 right=448 width=448 height=251$" "$work/out.txt"
    expect "child window of the panel's size" grep -q "^editor-open: main child=yes class=Plugin[0-9a-f]\{8\} size=448x251$" "$work/out.txt"
    expect "screenshot size" eq "$("$pixels" size "$(bmp open)")" "448 251"
    # The counters see the plug-in's objects at all: one window per open, pens, fonts, bitmaps.
    expect "windows counted" grep -q " window=101/100 " <(grep "^counts: open-after" "$work/out.txt")
    for kind in pen brush font bitmap memory-dc window-dc; do
      made=$(count_field open-after "$kind" | cut -d/ -f1)
      expect "$kind objects counted" gt "${made:-0}" 0
    done
    for key in gdi-live user-live; do
      expect "$key after the first close equals after the 100th" \
        eq "$(count_field closed-first $key)" "$(count_field closed-last $key)"
      expect "$key open before equals open after" eq "$(count_field open-before $key)" "$(count_field open-after $key)"
    done
    expect "no window left after the last close" eq "$(count_field closed user-live)" 0
    # One panel bitmap may stay with the editor between opens; the effect's end frees all.
    expect "nothing left once the effect is closed" eq \
      "$(count_field effect-closed gdi-live) $(count_field effect-closed user-live)" "0 0"
    expect "no memory DC left" eq "$(count_field closed memory-dc | awk -F/ '{ print $1 - $2 }')" 0
    expect "reopened panel looks the same" eq "$(diff_pixels open reopened 0 0 340 251)" 0
    ;;
  knob_drag)
    # Around the T60 knob's centre (48, 88), from its left across the top to its right.
    editor --screenshot "$(shot before)" --drag 38,84,58,84 --screenshot "$(shot after)" \
      --params --click 48,88,ctrl --screenshot "$(shot reset)" --params
    expect_t60_drag automate
    expect "each automation a changed value" eq \
      "$(grep automate "$work/drag.txt" | awk '{ print $4 }' | uniq | wc -l)" "$values"
    expect "values rise along the arc" eq \
      "$(grep automate "$work/drag.txt" | awk -F= '{ print $3 }' | sort -g | tr '\n' ' ')" \
      "$(grep automate "$work/drag.txt" | awk -F= '{ print $3 }' | tr '\n' ' ')"
    last=$(grep automate "$work/drag.txt" | tail -1 | awk -F= '{ print $3 }')
    expect "parameter 2 holds the last automated value" \
      awk -v a="$last" -v b="$(awk '$1 == "param:" && $2 == 2 { print $3; exit }' "$work/out.txt")" \
      'BEGIN { exit !(a - b < 1e-5 && b - a < 1e-5) }'
    expect "knob handle moved" gt "$(diff_pixels before after 36 76 60 100)" 10
    expect "T60 display changed" gt "$(diff_pixels before after 25 113 73 123)" 5
    expect "other knobs unchanged" eq "$(diff_pixels before after 94 76 330 100)" 0
    step_edits "click 48,88,ctrl" >"$work/reset.txt"
    expect "Ctrl+click: one automation to the default, no brackets" \
      eq "$(cat "$work/reset.txt")" "edit: automate index=2 value=0.500000"
    expect "parameter 2 reset" eq "$(param 2)" 0.500000
    expect "knob redrawn at the default" gt "$(diff_pixels after reset 36 76 60 100)" 10
    ;;
  sliders)
    editor --screenshot "$(shot before)" --drag 394,24,420,24 --drag 402,80,402,150 --screenshot "$(shot after)" --params
    step_edits "drag 394,24,420,24" >"$work/pan.txt"
    step_edits "drag 402,80,402,150" >"$work/fader.txt"
    expect "pan drag bracketed" eq "$(head -1 "$work/pan.txt"; tail -1 "$work/pan.txt")" \
      "$(printf 'edit: begin index=0\nedit: end index=0')"
    expect "fader drag bracketed" eq "$(head -1 "$work/fader.txt"; tail -1 "$work/fader.txt")" \
      "$(printf 'edit: begin index=1\nedit: end index=1')"
    expect "pan follows the mouse to the right" awk -F= '/automate/ { if (n++ && $3 <= prev) bad = 1; prev = $3 }
      END { exit !(n > 4 && !bad && prev > 0.6) }' "$work/pan.txt"
    expect "fader follows the mouse down" awk -F= '/automate/ { if (n++ && $3 >= prev) bad = 1; prev = $3 }
      END { exit !(n > 4 && !bad) }' "$work/fader.txt"
    expect "pan handle redrawn" gt "$(diff_pixels before after 358 17 430 32)" 10
    expect "fader handle redrawn" gt "$(diff_pixels before after 391 36 413 191)" 10
    ;;
  dry_button)
    editor --screenshot "$(shot off)" --click 371,68 --screenshot "$(shot on)" --params --click 371,68 --screenshot "$(shot off2)"
    expect "first click: parameter 8 on" eq "$(step_edits "click 371,68" | head -1)" "edit: automate index=8 value=1.000000"
    expect "no edit brackets for the button" eq "$(grep -c "edit: begin\|edit: end" "$work/out.txt")" 0
    expect "second click: off again" eq "$(step_edits "click 371,68" | tail -1)" "edit: automate index=8 value=0.000000"
    expect "parameter 8 was on between" eq "$(awk '$1 == "param:" && $2 == 8 { print $3; exit }' "$work/out.txt")" 1.000000
    expect "button drawn pressed" gt "$(diff_pixels off on 361 60 382 77)" 10
    expect "button drawn released" eq "$(diff_pixels off off2 361 60 382 77)" 0
    ;;
  host_changes)
    editor --screenshot "$(shot p0)" --automate 2=0.9 --wait 300 --screenshot "$(shot automated)" \
      --program 5 --wait 300 --screenshot "$(shot p5)" --params --program 0 --wait 300 --screenshot "$(shot p0again)"
    expect "host automation sends no edits back" eq "$(step_edits "automate 2=0.9" | wc -l)" 0
    expect "T60 knob follows automation" gt "$(diff_pixels p0 automated 36 76 60 100)" 10
    expect "T60 display follows automation" gt "$(diff_pixels p0 automated 25 113 73 123)" 5
    expect "nothing else moved" eq "$(diff_pixels p0 automated 84 60 340 240)" 0
    moved=0
    for k in $knobs; do
      xy=${k#*:}; x=${xy%,*}; y=${xy#*,}
      if gt "$(diff_pixels automated p5 $((x - 11)) $((y + 37)) $((x + 37)) $((y + 47)))" 0; then moved=$((moved + 1)); fi
    done
    expect "program 5 changes most displays ($moved)" gt "$moved" 6
    # The automation was stored in program 0, so program 0 comes back with it.
    expect "program 0 again looks like automated program 0" eq "$(diff_pixels automated p0again 0 0 340 251)" 0
    ;;
  displays)
    editor --screenshot "$(shot p0)"
    for k in $knobs; do
      xy=${k#*:}; x=${xy%,*}; y=${xy#*,}
      lit=$(text_pixels p0 $((x - 11)) $((y + 37)) $((x + 37)) $((y + 47)))
      expect "value field of parameter ${k%%:*} has text ($lit)" gt "$lit" 30
      expect "value field of parameter ${k%%:*} is legible ($lit)" lt "$lit" 300
      dark=$("$pixels" near "$(bmp p0)" $((x - 11)) $((y + 37)) $((x + 37)) $((y + 47)) 0 0 0 60)
      expect "value field of parameter ${k%%:*} has its dark ground ($dark)" gt "$dark" 100
    done
    ;;
  about)
    editor --screenshot "$(shot before)" --click 415,236 --screenshot "$(shot card)" --click 200,140 --screenshot "$(shot after)"
    expect "About shows the card" gt "$(diff_pixels before card 18 56 350 229)" 5000
    expect "next click hides it" eq "$(diff_pixels before after 0 0 350 251)" 0
    expect "no edits from the card" eq "$(grep -c "^edit:" "$work/out.txt")" 0
    ;;
  meter)
    # The meter starts from wherever it was drawn last; let it settle in silence first.
    editor --wait 4000 --screenshot "$(shot quiet)" --audio drums --wait 600 --screenshot "$(shot loud)" \
      --audio silence --wait 4000 --screenshot "$(shot fallen)"
    rose=$(diff_pixels quiet loud 413 40 428 187)
    stays=$(diff_pixels quiet fallen 413 40 428 187)
    expect "meter rises with audio ($rose)" gt "$rose" 60
    expect "meter falls back in silence ($stays)" lt "$stays" $((rose / 5))
    ;;
  gate_led)
    # The gated program on drums: the LED goes through its three colours as hits come and go.
    args=(--program 5 --audio drums --wait 500)
    for i in $(seq 1 30); do args+=(--screenshot "$(shot led$i)" --wait 20); done
    editor "${args[@]}"
    seen=""
    for i in $(seq 1 30); do
      read -r r g b < <("$pixels" mean "$(bmp led$i)" 265 217 273 224)
      if [ "$g" -gt $((r + 40)) ]; then colour=green
      elif [ "$r" -gt $((g + 60)) ]; then colour=red
      elif [ "$r" -gt 120 ] && [ "$g" -gt 120 ] && [ "$b" -lt $((r - 60)) ]; then colour=yellow
      else colour="other($r,$g,$b)"; fi
      echo "led$i: $colour"
      seen="$seen $colour"
    done
    for colour in green yellow red; do
      expect "LED shows $colour" grep -qw "$colour" <<<"$seen"
    done
    ;;
  two_editors)
    editor --class --open-second --class --close-second --class
    expect "second editor opened" grep -q "^editor-open: second child=yes" "$work/out.txt"
    first=$(awk '$1 == "editor-open:" && $2 == "main" { print $4 }' "$work/out.txt")
    second=$(awk '$1 == "editor-open:" && $2 == "second" { print $4 }' "$work/out.txt")
    expect "both windows in one class ($first, $second)" eq "$first" "$second"
    expect "class kept while either editor is open" eq \
      "$(grep "^class: " "$work/out.txt" | head -4 | awk '{ print $3 }' | tr '\n' ' ')" \
      "registered registered registered registered "
    expect "class gone with the last editor" eq "$(grep "^class: " "$work/out.txt" | tail -1 | awk '{ print $3 }')" absent
    ;;
  *)
    echo "unknown check $name"
    exit 2
    ;;
esac

if [ $failures -ne 0 ]; then
  echo "--- vsthost output"
  grep -v "^param:" "$work/out.txt" | head -80
  exit 1
fi
echo "$name: passed"
