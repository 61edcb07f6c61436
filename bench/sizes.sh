#!/bin/sh
# The Linux plug-in binaries of one build tree, as built and stripped, in bytes:
#   bench/sizes.sh [BUILD_DIR]   (default build/release)
build=${1:-build/release}
vst2=$build/plugin/Hallmere.so
vst3=$build/vst3/Hallmere.vst3/Contents/$(uname -m)-linux/Hallmere.so
scratch=$(mktemp) || exit 1
trap 'rm -f "$scratch"' EXIT
printf '%-8s %10s %10s  %s\n' format built stripped file
for pair in "VST 2.x:$vst2" "VST 3:$vst3"; do
  name=${pair%%:*} file=${pair#*:}
  [ -f "$file" ] || { echo "no $file: build the targets Hallmere and hallmere_vst3" >&2; exit 1; }
  strip -o "$scratch" "$file" || exit 1
  printf '%-8s %10d %10d  %s\n' "$name" "$(stat -c %s "$file")" "$(stat -c %s "$scratch")" "$file"
done
