#!/usr/bin/env bash
# The main job: builds the plug-in for Linux and Windows, shows what it reports about
# itself in our command-line host, and renders a drum loop through every factory program,
# natively and (the Windows DLL) under wine64. The files land in out/.
#
# It prints one line per step and the results; everything the steps say (compilers, cmake,
# wine) goes to out/demo.log. When a step fails, the log's last lines and its path follow.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
out=$root/out
log=$out/demo.log
mkdir -p "$out"
: >"$log"

# step TEXT COMMAND...: runs COMMAND with its output in the log; one line says how it went,
# with the result COMMAND leaves in step_result.
step() {
  local text=$1 start=$SECONDS
  shift
  printf '%s ... ' "$text"
  printf '\n==== %s\n' "$text" >>"$log"
  step_result=""
  if "$@" >>"$log" 2>&1; then
    echo "ok ($((SECONDS - start)) s)${step_result:+: $step_result}"
  else
    local status=$?
    echo "FAILED (status $status)"
    echo "---- the last lines of $log:"
    tail -n 30 "$log"
    echo "---- the whole output of every step: $log"
    exit 1
  fi
}

build() {  # build PRESET
  cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs"
}

echo "Hallmere demo (the full output goes to ${log#"$root"/})"
step "Installing the Debian packages it needs" bash tools/setup.sh
step "Building for Windows x86_64 (build/win64)" build win64
step "Building for Windows i686 (build/win32)" build win32
step "Building for Linux with the tests (build/native)" build native

host=$root/build/native/tools/vsthost
plugin=$root/build/native/plugin/Hallmere.so
winhost=$root/build/win64/tools/vsthost.exe
windll=$root/build/win64/plugin/Hallmere.dll

export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
wine64() { /usr/lib/wine/wine64 "$@"; }
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

# What the plug-in reports, in full in out/info-*.txt and in one line here.
info_linux() { "$host" info "$plugin" >"$out/info-linux.txt"; }
info_windows() { wine64 "$winhost" info "$(winpath "$windll")" | tr -d '\r' >"$out/info-win64.txt"; }
step "Asking the Linux build what it is (out/info-linux.txt)" info_linux
step "Asking the Windows x86_64 build, under wine64 (out/info-win64.txt)" info_windows
summary() {  # summary INFO-FILE: name, vendor and shape in one line
  awk -F': ' '{ v[$1] = $2 } END {
    gsub(/"/, "", v["name"]); gsub(/"/, "", v["vendor"])
    printf "%s by %s, vendor version %s, unique ID %s, %s in / %s out, %s parameters, %s programs\n",
      v["name"], v["vendor"], v["vendorVersion"], v["uniqueID"], v["numInputs"], v["numOutputs"],
      v["numParams"], v["numPrograms"] }' "$1"
}
echo "  $(summary "$out/info-linux.txt")"
if cmp -s <(sed 1d "$out/info-linux.txt") <(sed 1d "$out/info-win64.txt"); then
  echo "  the Linux and Windows builds report the same, parameter by parameter"
else
  echo "  the Linux and Windows builds report DIFFERENT things: compare out/info-linux.txt and out/info-win64.txt"
fi

mkdir -p "$out/linux" "$out/win64"
programs=("Default" "Default hall" "Huge Hall" "Room" "Full mud" "Gated reverb" "Loud neighbours" "Bathroom")
render() {  # render PROGRAM NAME: the drum loop through one program, natively and under wine64
  "$host" render "$plugin" --signal drums --seconds 6 --program "$1" --out "$out/linux/$2.wav" &&
    wine64 "$winhost" render "$(winpath "$windll")" --signal drums --seconds 6 --program "$1" \
      --out "$(winpath "$out/win64/$2.wav")" || return
  if cmp -s "$out/linux/$2.wav" "$out/win64/$2.wav"; then
    step_result="the Linux and Windows renders are identical"
  else
    step_result="the Linux and Windows renders DIFFER"
  fi
}
echo "Rendering the demo loop through the eight programs (out/linux, out/win64):"
for p in "${!programs[@]}"; do
  name=$(printf '%d-%s' "$p" "${programs[$p]}" | tr ' A-Z' '-a-z')
  step "  $name.wav" render "$p" "$name"
done

# The editor panel, shot from the Windows build under wine64 on a virtual display.
panel() {
  # The renders above left a wine session without a display; the editor needs a fresh one.
  /usr/lib/wine/wineserver -k || true
  /usr/lib/wine/wineserver -w
  # The wine session is ended while the display still exists: left running, its processes
  # lose their X connection when the virtual display closes and say so.
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    /usr/lib/wine/wine64 "$@"; status=$?
    /usr/lib/wine/wineserver -k; /usr/lib/wine/wineserver -w
    exit $status' editor-shot "$winhost" editor "$(winpath "$windll")" \
    --signal drums --wait 1500 --screenshot "$(winpath "$out/panel.bmp")" &&
    convert "$out/panel.bmp" "$out/panel.png" && rm -f "$out/panel.bmp"
}
if command -v xvfb-run >/dev/null && command -v convert >/dev/null; then
  step "Taking a picture of the panel (out/panel.png)" panel
else
  echo "The panel's picture needs xvfb-run and ImageMagick: left out"
fi
echo "Done: the renders are in out/linux and out/win64, everything the steps said in ${log#"$root"/}"
