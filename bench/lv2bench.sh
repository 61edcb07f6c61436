#!/usr/bin/env bash
# Hallmere.lv2 next to Ardour's a-reverb in lv2bench, block 512: nanoseconds per stereo frame,
# each the fastest of RUNS runs (default 5; other work on a shared machine only adds time),
# and how many times cheaper Hallmere is. Prints a markdown table.
#
# Usage: bench/lv2bench.sh [BUILD_DIR]   (default build/release if it holds the bundle, else
# build/native; build the bundle with: cmake --build --preset release --target hallmere_lv2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
[ -d "$build/lv2/Hallmere.lv2" ] || build=$root/build/native
build=$(cd "$build" && pwd)
bundle=$build/lv2/Hallmere.lv2
runs=${RUNS:-5}
block=512
frames=$((block * 8192))
peers=(urn:ardour:a-reverb)

[ -f "$bundle/hallmere.so" ] || { echo "no bundle at $bundle" >&2; exit 1; }
command -v lv2bench >/dev/null || { echo "lv2bench is missing (package lilv-utils)" >&2; exit 1; }

# Only the plug-ins compared on the search path.
path=$(mktemp -d)
trap 'rm -rf "$path"' EXIT
ln -s "$bundle" "$path/Hallmere.lv2"
ln -s /usr/lib/lv2/a-reverb.lv2 "$path/a-reverb.lv2"

best() {
  local uri=$1 t fastest=
  for _ in $(seq "$runs"); do
    t=$(LV2_PATH=$path lv2bench -f -b $block -n $frames "$uri" | awk -v u="$uri" '$4 == u { print $3 }')
    [ -n "$t" ] || { echo "lv2bench did not run $uri" >&2; exit 1; }
    fastest=$(awk -v a="$t" -v b="${fastest:-$t}" 'BEGIN { print (a < b ? a : b) }')
  done
  awk -v t="$fastest" -v n=$frames 'BEGIN { printf "%.1f", t * 1e9 / n }'
}

ours=$(best urn:tovik:hallmere)
echo "| Plug-in | ns per stereo frame (block $block, best of $runs) | Hallmere cheaper by |"
echo "|---|---|---|"
echo "| Hallmere ($(basename "$build")) | $ours | |"
for uri in "${peers[@]}"; do
  theirs=$(best "$uri")
  echo "| $uri | $theirs | $(awk -v a="$theirs" -v b="$ours" 'BEGIN { printf "%.2fx", a / b }') |"
done
