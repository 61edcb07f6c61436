#!/usr/bin/env bash
# The engine's block loop, Linux build against the Windows x86_64 build under wine64:
# interleaved runs (the machine's noise hits both alike), minimum and median of each.
#   bench/compare_wine.sh [NATIVE_BUILD_DIR] [WIN64_BUILD_DIR] [RUNS]
set -euo pipefail
native=${1:-build/release}/bench/bench_throughput
windows=${2:-build/win64}/bench/bench_throughput.exe
runs=${3:-10}
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix} WINEDEBUG=-all
results=$(mktemp -d)
for _ in $(seq "$runs"); do
  "$native" | awk '/ns-per-frame/ {print $2}' >>"$results/native"
  /usr/lib/wine/wine64 "$windows" | tr -d '\r' | awk '/ns-per-frame/ {print $2}' >>"$results/windows"
done
summary() { sort -n "$1" | awk '{v[NR]=$1} END {printf "min %.2f  median %.2f", v[1], v[int((NR+1)/2)]}'; }
echo "native (ns/frame):        $(summary "$results/native")"
echo "win64 under wine64:       $(summary "$results/windows")"
rm -rf "$results"
