#!/usr/bin/env bash
# The engine's block loop, Linux build against the Windows builds under wine: x86_64 under
# wine64 and i686 under wine32 (left out, with the reason, where 32-bit programs do not
# start). Interleaved runs (the machine's noise hits all alike), minimum and median of each.
#   bench/compare_wine.sh [NATIVE_BUILD_DIR] [WIN64_BUILD_DIR] [RUNS] [WIN32_BUILD_DIR]
set -euo pipefail
native=${1:-build/release}/bench/bench_throughput
runs=${3:-10}
prefix=${WINEPREFIX:-$PWD/build/wineprefix}
run_wine=$(dirname "$0")/../tests/tool/run_wine.sh
declare -A program=([win64]=${2:-build/win64}/bench/bench_throughput.exe
                    [win32]=${4:-build/win32}/bench/bench_throughput.exe)
builds=(native win64)
if [ -x /usr/lib/wine/wine ] && WINE_BITS=32 "$run_wine" "$prefix-32" --init >/dev/null 2>&1; then
  builds+=(win32)
else
  echo "win32 left out: /usr/lib/wine/wine (wine32:i386) is missing or does not start here"
fi
WINE_BITS=64 "$run_wine" "$prefix" --init >/dev/null

frame_cost() { awk '/ns-per-frame/ {print $2}' | tr -d '\r'; }
results=$(mktemp -d)
for _ in $(seq "$runs"); do
  "$native" | frame_cost >>"$results/native"
  WINE_BITS=64 "$run_wine" "$prefix" "${program[win64]}" | frame_cost >>"$results/win64"
  [ ${#builds[@]} -lt 3 ] || WINE_BITS=32 "$run_wine" "$prefix-32" "${program[win32]}" | frame_cost >>"$results/win32"
done
summary() { sort -n "$1" | awk '{v[NR]=$1} END {printf "min %.2f  median %.2f", v[1], v[int((NR+1)/2)]}'; }
declare -A label=([native]="native" [win64]="win64 under wine64" [win32]="win32 under wine32")
for b in "${builds[@]}"; do
  printf '%-34s%s\n' "${label[$b]} (ns/frame):" "$(summary "$results/$b")"
done
rm -rf "$results"
