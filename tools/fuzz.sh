#!/usr/bin/env bash
# Fuzzes with libFuzzer for as long as asked:
#   bash tools/fuzz.sh [SECONDS] [TARGET]
# TARGET is fuzz_dispatcher (the effect without its editor, many inputs a second: the
# default), fuzz_dispatcher_editor (the plug-in as it ships, with its panel) or fuzz_wav
# (the WAV reader vsthost uses on Windows).
# Builds the fuzzers with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz, starts from the seed corpus in tests/fuzz/ and keeps what it finds in
# build/fuzz/corpus-TARGET. A crash leaves its input in build/fuzz/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
target=${2:-fuzz_dispatcher}
case "$target" in
  fuzz_dispatcher | fuzz_dispatcher_editor) seeds=tests/fuzz/corpus ;;
  fuzz_wav) seeds=tests/fuzz/wav_corpus ;;
  *) echo "fuzz.sh: unknown target '$target' (fuzz_dispatcher, fuzz_dispatcher_editor or fuzz_wav)" >&2; exit 2 ;;
esac

# The whole tree is instrumented for coverage.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHALLMERE_SANITIZE=ON -DHALLMERE_FUZZ=ON -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build build/fuzz -j "${JOBS:-$(nproc)}" --target "$target"

corpus=build/fuzz/corpus-$target
mkdir -p "$corpus"
cp -n "$seeds"/* "$corpus"/
log=build/fuzz/$target.log
status=0
"build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="build/fuzz/$target-" "$corpus" 2>"$log" || { tail -50 "$log"; status=1; }
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" || true
exit $status
