# Sourced by check_editor.sh when EDITOR_HOST=x11: the Linux host (vsthost editor) runs
# Hallmere.so on a virtual X display of its own, with XTest input. The checks are the same
# as under wine except where the window systems differ (X11 has no window classes and no
# GDI objects; windows and open descriptors are counted instead).
# Environment: VSTHOST, PLUGIN, WORK; VST3 (the bundle) for the VST 3 check.
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is not installed: skipped"
  exit 77
fi

# editor ARGS...: the session on $PLUGIN, or on $session_plugin when that is set.
editor() {
  timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$VSTHOST" editor "${session_plugin:-$PLUGIN}" "$@" >"$work/out.txt" 2>"$work/err.txt"
  local status=$?
  if [ $status -ne 0 ]; then
    echo "vsthost editor exited with $status"
    cat "$work/err.txt"
    tail -20 "$work/out.txt"
    exit 1
  fi
}

shot() { echo "$work/$1.bmp"; }

x11_finish() {
  if [ $failures -ne 0 ]; then
    echo "--- vsthost output"
    grep -v "^param:" "$work/out.txt" | head -80
    exit 1
  fi
  echo "$name: passed"
  exit 0
}

# "counts: LABEL windows=M/D children=N fds=F": field of a label.
x11_count() { count_field "$1" "$2"; }

case "$name" in
  vst3_panel)
    # The VST 3 bundle's view in the same session as the VST 2.x editor: drawn alike, edited
    # with brackets, and closed and opened without leaving windows behind.
    editor --screenshot "$(shot vst2)"
    session_plugin=$VST3
    editor --screenshot "$(shot before)" --drag 38,84,58,84 --screenshot "$(shot after)" --params --cycles 5
    expect "view size" grep -q "^editor-rect: main top=0 left=0 bottom=251 right=448 width=448 height=251$" "$work/out.txt"
    expect "the view's window inside the host's" grep -q "^editor-open: main child=yes window=0x[0-9a-f]* size=448x251$" "$work/out.txt"
    # The meter shows whatever the audio thread last played; the rest is the same artwork.
    expect "drawn as the VST 2.x panel" eq \
      "$(diff_pixels vst2 before 0 0 413 251) $(diff_pixels vst2 before 428 0 448 251)" "0 0"
    step_edits "drag 38,84,58,84" >"$work/drag.txt"
    expect "drag begins an edit of 2" eq "$(head -1 "$work/drag.txt")" "edit: begin index=2"
    expect "drag ends the edit of 2" eq "$(tail -1 "$work/drag.txt")" "edit: end index=2"
    performs=$(grep -c "^edit: perform index=2 " "$work/drag.txt")
    expect "several performs ($performs)" gt "$performs" 4
    expect "only index 2 edited" eq "$(grep -vc "index=2" "$work/drag.txt")" 0
    first=$(grep perform "$work/drag.txt" | head -1 | awk -F= '{ print $3 }')
    last=$(grep perform "$work/drag.txt" | tail -1 | awk -F= '{ print $3 }')
    expect "the value rose ($first to $last)" awk -v a="$first" -v b="$last" 'BEGIN { exit !(b > a + 0.1) }'
    expect "parameter 2 holds the last value" eq "$(param 2)" "$last"
    expect "knob handle moved" gt "$(diff_pixels before after 36 76 60 100)" 10
    expect "no view window after the first close" eq "$(x11_count closed-first children)" 0
    expect "no view window after the 5th close" eq "$(x11_count closed-last children)" 0
    expect "descriptors after the first close equal after the 5th" \
      eq "$(x11_count closed-first fds)" "$(x11_count closed-last fds)"
    expect "one view window while open" eq "$(x11_count open-after children)" 1
    expect "no window left after the session" eq "$(x11_count closed children)" 0
    x11_finish
    ;;
  open_cycles)
    editor --screenshot "$(shot open)" --cycles 100 --screenshot "$(shot reopened)"
    expect "editor size" grep -q "^editor-rect: main top=0 left=0 bottom=251 right=448 width=448 height=251$" "$work/out.txt"
    expect "child window of the panel's size" grep -q "^editor-open: main child=yes window=0x[0-9a-f]* size=448x251$" "$work/out.txt"
    expect "screenshot size" eq "$("$pixels" size "$(bmp open)")" "448 251"
    expect "one window made per open, all but the open one gone" eq "$(x11_count open-after windows)" "101/100"
    expect "no editor window after the first close" eq "$(x11_count closed-first children)" 0
    expect "no editor window after the 100th close" eq "$(x11_count closed-last children)" 0
    expect "one editor window while open" eq "$(x11_count open-after children)" 1
    expect "descriptors after the first close equal after the 100th" \
      eq "$(x11_count closed-first fds)" "$(x11_count closed-last fds)"
    expect "descriptors open before equal open after" eq "$(x11_count open-before fds)" "$(x11_count open-after fds)"
    # The plug-in's display connection lives exactly as long as one of its windows.
    expect "the display connection closes with the last window" \
      eq "$(x11_count closed-first fds)" "$(( $(x11_count open-before fds) - 1 ))"
    # At "opened" the script's input connection was not open yet; at the end it is closed.
    expect "nothing left once the effect is closed" eq \
      "$(x11_count effect-closed children) $(x11_count effect-closed fds)" "0 $(( $(x11_count opened fds) - 1 ))"
    expect "reopened panel looks the same" eq "$(diff_pixels open reopened 0 0 340 251)" 0
    x11_finish
    ;;
  two_editors)
    editor --class --open-second --class --screenshot "$(shot both)" --close-second --class
    expect "second editor opened" grep -q "^editor-open: second child=yes window=0x[0-9a-f]* size=448x251$" "$work/out.txt"
    first=$(awk '$1 == "editor-open:" && $2 == "main" { print $4 }' "$work/out.txt")
    second=$(awk '$1 == "editor-open:" && $2 == "second" { print $4 }' "$work/out.txt")
    expect "two windows ($first, $second)" test "$first" != "$second"
    expect "editor windows: one, two, one, none" eq \
      "$(grep "^class: " "$work/out.txt" | awk '{ print $2 }' | tr '\n' ' ')" \
      "frame-windows=1 frame-windows=1 frame-windows=2 frame-windows=1 frame-windows=0 "
    expect "the first panel still drawn beside the second" gt \
      "$("$pixels" near "$(bmp both)" 0 0 448 251 0 0 0 60)" 1000
    x11_finish
    ;;
esac
