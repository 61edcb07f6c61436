#!/usr/bin/env bash
# Runs every test from a fresh checkout: installs what is missing, builds the Windows
# DLLs (x86_64 and i686) and the Linux builds (plain, sanitized, thread-sanitized), then
# runs the native unit tests, the Windows tests under wine64 and the static DLL checks.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}

bash tools/setup.sh

step() { printf '\n==== %s\n' "$*"; }

step "Windows builds"
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

step "Linux build with the tests"
cmake --preset native -DHALLMERE_WIN64_DIR="$root/build/win64" -DHALLMERE_WIN32_DIR="$root/build/win32" >/dev/null
cmake --build --preset native -j "$jobs"

step "Sanitized build (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"

step "Thread-sanitized build (the concurrency tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target test_threads

step "Fuzz build (clang, libFuzzer with AddressSanitizer + UndefinedBehaviorSanitizer)"
# The whole tree is instrumented for coverage.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHALLMERE_SANITIZE=ON -DHALLMERE_FUZZ=ON -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_dispatcher fuzz_wav

step "Debian package (for the install test)"
bash tools/package.sh deb

status=0
step "Fuzzing the dispatcher for a minute"
fuzz_corpus=build/fuzz/corpus
mkdir -p "$fuzz_corpus"
cp -n tests/fuzz/corpus/* "$fuzz_corpus"/
build/fuzz/tests/fuzz/fuzz_dispatcher -max_total_time=${FUZZ_SECONDS:-60} -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$fuzz_corpus" 2>build/fuzz/fuzz.log || { tail -50 build/fuzz/fuzz.log; status=1; }
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::)' build/fuzz/fuzz.log || true

step "Fuzzing the WAV reader for 20 seconds"
wav_corpus=build/fuzz/wav_corpus
mkdir -p "$wav_corpus"
cp -n tests/fuzz/wav_corpus/* "$wav_corpus"/
build/fuzz/tests/fuzz/fuzz_wav -max_total_time=${WAV_FUZZ_SECONDS:-20} -print_final_stats=1 \
  -artifact_prefix=build/fuzz/wav- "$wav_corpus" 2>build/fuzz/fuzz_wav.log || { tail -50 build/fuzz/fuzz_wav.log; status=1; }
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::)' build/fuzz/fuzz_wav.log || true

step "Tests: native, with the Windows tests under wine64"
ctest --preset native -j "$jobs" || status=1
step "Tests: sanitized"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp \
  ctest --preset sanitize -j "$jobs" -LE 'wine|slow' || status=1
step "Tests: thread-sanitized"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --preset tsan -j "$jobs" -L threads || status=1

exit $status
