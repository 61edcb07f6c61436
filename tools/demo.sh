#!/usr/bin/env bash
# The main job: builds the plug-in for Linux and Windows, shows what it reports about
# itself in our command-line host, and renders a drum loop through every factory program,
# natively and (the Windows DLL) under wine64. The files land in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
out=$root/out

bash tools/setup.sh

echo "==== Building"
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$jobs"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$jobs"
cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs"

host=$root/build/native/tools/vsthost
plugin=$root/build/native/plugin/Hallmere.so
winhost=$root/build/win64/tools/vsthost.exe
windll=$root/build/win64/plugin/Hallmere.dll

export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
wine64() { /usr/lib/wine/wine64 "$@"; }
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

echo "==== What the plug-in reports (Linux build)"
"$host" info "$plugin"
echo "==== What the plug-in reports (Windows x86_64 build, under wine64)"
wine64 "$winhost" info "$(winpath "$windll")" | tr -d '\r'

mkdir -p "$out/linux" "$out/win64"
programs=("Default" "Default hall" "Huge Hall" "Room" "Full mud" "Gated reverb" "Loud neighbours" "Bathroom")
echo "==== Rendering the demo loop through the eight programs"
for p in "${!programs[@]}"; do
  name=$(printf '%d-%s' "$p" "${programs[$p]}" | tr ' A-Z' '-a-z')
  "$host" render "$plugin" --signal drums --seconds 6 --program "$p" --out "$out/linux/$name.wav" >/dev/null
  wine64 "$winhost" render "$(winpath "$windll")" --signal drums --seconds 6 --program "$p" --out "$(winpath "$out/win64/$name.wav")" >/dev/null
  if cmp -s "$out/linux/$name.wav" "$out/win64/$name.wav"; then same="identical"; else same="DIFFERENT"; fi
  echo "  $name.wav (Linux and Windows renders $same)"
done
echo
echo "Rendered files: $out/linux and $out/win64"

echo "==== The editor panel (Windows x86_64 build, under wine64 on a virtual display)"
if command -v xvfb-run >/dev/null && command -v convert >/dev/null; then
  # The renders above left a wine session without a display; the editor needs a fresh one.
  /usr/lib/wine/wineserver -k >/dev/null 2>&1; /usr/lib/wine/wineserver -w
  # The wine session is ended while the display still exists: left running, its processes
  # lose their X connection when the virtual display closes and say so on the terminal.
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    /usr/lib/wine/wine64 "$@" >/dev/null; status=$?
    /usr/lib/wine/wineserver -k >/dev/null 2>&1; /usr/lib/wine/wineserver -w
    exit $status' editor-shot "$winhost" editor "$(winpath "$windll")" \
    --signal drums --wait 1500 --screenshot "$(winpath "$out/panel.bmp")" &&
    convert "$out/panel.bmp" "$out/panel.png" && rm -f "$out/panel.bmp" && echo "  $out/panel.png"
else
  echo "  (needs xvfb-run and ImageMagick)"
fi
