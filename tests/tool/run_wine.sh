#!/usr/bin/env bash
# Runs a Windows program under wine with a private prefix, so the tests never touch the
# user's own wine set-up. WINE_BITS=32 runs i686 programs under wine32 in a 32-bit prefix;
# otherwise x86_64 programs run under wine64.
#   run_wine.sh PREFIX --init          create (or update) the prefix and wait until it is ready
#   run_wine.sh PREFIX PROGRAM ARGS... run PROGRAM; its exit status is passed through
# Paths handed to the program must be Windows paths; Z: is the Unix root, so Z:/tmp/x.wav.
# With WINE_KEEP_DISPLAY=1 the program keeps DISPLAY (e.g. from xvfb-run) for its windows.
set -u

if [ $# -lt 2 ]; then
  echo "usage: run_wine.sh PREFIX --init | PROGRAM [ARGS...]" >&2
  exit 2
fi

if [ "${WINE_BITS:-64}" = 32 ]; then
  WINE=${WINE32_LOADER:-/usr/lib/wine/wine}
  export WINEARCH=win32
else
  WINE=/usr/lib/wine/wine64
  export WINEARCH=win64
fi
WINESERVER=/usr/lib/wine/wineserver
if [ ! -x "$WINE" ]; then
  echo "run_wine.sh: $WINE not found" >&2
  exit 2
fi

export WINEPREFIX="$1"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts on the first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine needs no display for console programs; make sure it does not try one.
if [ "${WINE_KEEP_DISPLAY:-0}" != 1 ]; then
  unset DISPLAY
fi
unset WAYLAND_DISPLAY
shift

# A session left over from an earlier display would hold its windows there: end it first.
# Tests that keep the display take turns (a resource lock), so no one else's run is cut.
if [ "${WINE_KEEP_DISPLAY:-0}" = 1 ] && [ "$1" != "--init" ]; then
  "$WINESERVER" -k >/dev/null 2>&1
  "$WINESERVER" -w
fi

if [ "$1" = "--init" ]; then
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -u >/dev/null 2>&1
  status=$?
  "$WINESERVER" -w
  if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    echo "run_wine.sh: no prefix in $WINEPREFIX after wineboot (status $status)" >&2
    exit 1
  fi
  echo "wine prefix ready: $WINEPREFIX"
  exit 0
fi

exec "$WINE" "$@"
