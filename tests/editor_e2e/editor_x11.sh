# Sourced by check_editor.sh when EDITOR_HOST=x11: the Linux host (vsthost editor) runs
# Hallmere.so on a virtual X display of its own, with XTest input. The checks are the same
# as under wine except where the window systems differ (X11 has no window classes and no
# GDI objects; windows and open descriptors are counted instead).
# Environment: VSTHOST, PLUGIN, WORK; VST3 (the bundle) for the VST 3 check.
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is not installed: skipped"
  exit 77
fi

vst3_plugin=${VST3:-}

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
