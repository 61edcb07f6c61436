#!/usr/bin/env bash
# Hallmere in a browser: the engine and the panel built to WebAssembly with emscripten, the
# page in build/web/site, headless Chromium driven through puppeteer-core (tools/web).
#
#   bash tools/web.sh build                       builds the page into build/web/site
#   bash tools/web.sh render --program P --in IN.wav --out OUT.wav
#                                                 IN through the worklet, offline, to OUT
#   bash tools/web.sh serve [PORT]                serves the page on http://localhost:PORT (8000)
#   bash tools/web.sh test NATIVE_BUILD           the page's tests, against that native tree
#   bash tools/web.sh bench PORTABLE_BUILD        the worklet's speed beside the native core's, and
#                                                 the download's size (bench/web_bench.mjs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
web=$root/build/web
site=$web/site
jobs=${JOBS:-$(nproc)}

# Debian's emscripten finds its JavaScript optimiser's parser (node-acorn) in Debian's node
# folder; a node from elsewhere does not look there on its own.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Its cache of system libraries must be writable; where it is not, a copy in the build tree.
cache=$(em-config CACHE 2>/dev/null || true)
if [ -n "$cache" ] && [ ! -w "$cache" ]; then
  export EM_CACHE=$web/emcache
  [ -d "$EM_CACHE" ] || cp -r "$cache" "$EM_CACHE"
fi

build() {
  if [ ! -f "$web/build.ninja" ]; then
    # The emulator runs the build-time generators (bitmaps, loops) under node.
    emcmake cmake -S "$root" -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALLMERE_PORTABLE_LANES=ON \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" >/dev/null
  fi
  cmake --build "$web" -j "$jobs" --target hallmere_site
}

tooling() {
  if [ ! -d tools/web/node_modules/puppeteer-core ]; then
    (cd tools/web && npm ci --no-audit --no-fund --loglevel=error)
  fi
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
  build) build ;;
  render)
    build >/dev/null
    tooling
    exec node tools/web/render.mjs "$site" "$@" ;;
  serve)
    build
    echo "Hallmere: http://localhost:${1:-8000}/ (Ctrl-C stops)"
    cd "$site" && exec python3 -m http.server "${1:-8000}" --bind 127.0.0.1 ;;
  test)
    [ $# -eq 1 ] || { echo "usage: tools/web.sh test NATIVE_BUILD" >&2; exit 2; }
    build >/dev/null
    tooling
    exec node tools/web/test.mjs "$site" "$(cd "$1" && pwd)" ;;
  bench)
    [ $# -eq 1 ] || { echo "usage: tools/web.sh bench PORTABLE_BUILD" >&2; exit 2; }
    build >/dev/null
    tooling
    exec node bench/web_bench.mjs "$site" "$(cd "$1" && pwd)" ;;
  *)
    sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2 ;;
esac
