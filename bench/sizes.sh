#!/bin/sh
# The plug-in binaries of one build tree, as built and stripped, in bytes, and what the
# larger artwork sets (150 and 200 %, as PNG) add to each binary with a panel:
#   bench/sizes.sh [BUILD_DIR]   (default build/release; a Windows tree lists its DLLs)
build=${1:-build/release}
here=$(dirname "$0")
scratch=$(mktemp) || exit 1
trap 'rm -f "$scratch"' EXIT

if [ -f "$build/plugin/Hallmere.dll" ]; then
  if [ -d "$build/vst3/Hallmere.vst3/Contents/x86-win" ]; then
    folder=x86-win strip=i686-w64-mingw32-strip
  else
    folder=x86_64-win strip=x86_64-w64-mingw32-strip
  fi
  set -- "VST 2.x:$build/plugin/Hallmere.dll" "VST 3:$build/vst3/Hallmere.vst3/Contents/$folder/Hallmere.vst3" \
    "CLAP:$build/clap/Hallmere.clap"
else
  strip=strip
  set -- "VST 2.x:$build/plugin/Hallmere.so" "VST 3:$build/vst3/Hallmere.vst3/Contents/$(uname -m)-linux/Hallmere.so" \
    "CLAP:$build/clap/Hallmere.clap" "LV2 UI:$build/lv2/Hallmere.lv2/hallmere_ui.so"
fi

missing=0
printf '%-8s %10s %10s  %s\n' format built stripped file
for pair in "$@"; do
  name=${pair%%:*} file=${pair#*:}
  if [ ! -f "$file" ]; then
    echo "no $file: build the plug-in targets" >&2
    missing=1
    continue
  fi
  "$strip" -o "$scratch" "$file" || exit 1
  printf '%-8s %10d %10d  %s\n' "$name" "$(stat -c %s "$file")" "$(stat -c %s "$scratch")" "$file"
done
printf 'artwork at 150 and 200 %%: %d bytes in each binary with a panel (limit 2 MB)\n' \
  "$(cat "$here"/../resources/bitmaps/150/*.png "$here"/../resources/bitmaps/200/*.png | wc -c)"
exit $missing
