#!/usr/bin/env bash
# Every test, from a fresh checkout: installs what is missing (tools/setup.sh), then
#   builds   the Windows trees (x86_64, i686), the Linux one with its tests, a sanitized
#            (ASan + UBSan) and a thread-sanitized one, the Debian package for its install
#            test, the aarch64 cross build, the plain-lanes (portable) build and the web page
#            (emscripten: the engine and the panel in WebAssembly);
#   fuzzes   the dispatcher for a minute and the WAV reader for 20 seconds;
#   runs     the native tests, among them the Windows programs under wine64 and wine32, the
#            real hosts (Ardour, the LV2 tools) and the package install; the web page's tests in
#            headless Chromium (renders, panel, drags, bad files); the sanitized and
#            thread-sanitized tests; the aarch64 engine and effect tests under qemu;
#   compares the renders of every program across x86_64, portable, aarch64 and Windows.
# The run is strict (HALLMERE_STRICT, on unless set to OFF): a missing dependency stops the
# configure step and a test that skips fails, except the 32-bit Windows tests where the
# kernel refuses 32-bit programs; the last line then says why they were skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
strict=${HALLMERE_STRICT:-ON}
configure() { cmake --preset "$1" -DHALLMERE_STRICT="$strict" >/dev/null; }

bash tools/setup.sh

step() { printf '\n==== %s\n' "$*"; }

step "Windows builds"
for preset in win64 win32; do
  configure "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done

step "Linux build with the tests"
configure native
cmake --build --preset native -j "$jobs"

step "Web page (emscripten: the engine and the panel in WebAssembly)"
bash tools/web.sh build

step "Sanitized build (AddressSanitizer + UndefinedBehaviorSanitizer)"
configure sanitize
cmake --build --preset sanitize -j "$jobs"

step "Thread-sanitized build (the concurrency tests)"
configure tsan
cmake --build --preset tsan -j "$jobs" --target test_threads

step "Debian package (for the install test)"
bash tools/package.sh deb

status=0
step "Fuzzing the dispatcher for a minute (the effect without its editor)"
bash tools/fuzz.sh "${FUZZ_SECONDS:-60}" fuzz_dispatcher || status=1

step "Fuzzing the WAV reader for 20 seconds"
bash tools/fuzz.sh "${WAV_FUZZ_SECONDS:-20}" fuzz_wav || status=1

step "Tests: native, with the Windows tests under wine64 and wine32"
ctest --preset native -j "$jobs" || status=1
step "Tests: the web page in headless Chromium, against the Linux build"
bash tools/web.sh test build/native || status=1
step "Tests: sanitized"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp" \
  ctest --preset sanitize -j "$jobs" -LE wine || status=1
step "Tests: thread-sanitized"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --preset tsan -j "$jobs" -L threads || status=1

step "aarch64 build, its engine and effect tests under qemu"
configure aarch64
cmake --build --preset aarch64 -j "$jobs" --target Hallmere hallmere_vst3 render_programs test_dsp test_effect
ctest --preset aarch64 -j "$jobs" || status=1

wine32=$(cat build/native/tests/wine32/runtime.txt 2>/dev/null || echo "no: the probe did not run")

step "Renders of every program, bit for bit: x86_64 (SSE2 and plain lanes), aarch64, Windows"
configure portable
cmake --build --preset portable -j "$jobs" --target render_programs
renders=build/renders && mkdir -p "$renders"
tests/tool/run_wine.sh "$root/$renders/wineprefix" --init >/dev/null
build/native/tools/render_programs "$renders/x86_64.raw" || status=1
build/portable/tools/render_programs "$renders/portable.raw" || status=1
qemu-aarch64 -L /usr/aarch64-linux-gnu build/aarch64/tools/render_programs "$renders/aarch64.raw" || status=1
tests/tool/run_wine.sh "$root/$renders/wineprefix" build/win64/tools/render_programs.exe "Z:$root/$renders/win64.raw" \
  >/dev/null || status=1
compared=(portable aarch64 win64)
if [ "$wine32" = yes ]; then
  WINE_BITS=32 tests/tool/run_wine.sh "$root/$renders/wineprefix32" --init >/dev/null
  WINE_BITS=32 tests/tool/run_wine.sh "$root/$renders/wineprefix32" build/win32/tools/render_programs.exe \
    "Z:$root/$renders/win32.raw" >/dev/null || status=1
  compared+=(win32)
fi
for build in "${compared[@]}"; do
  cmp "$renders/x86_64.raw" "$renders/$build.raw" && echo "$build: identical to x86_64" || status=1
done

[ "$wine32" = yes ] || echo "32-bit Windows runtime tests skipped: ${wine32#no: }"
exit $status
