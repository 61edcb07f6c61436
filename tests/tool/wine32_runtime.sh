#!/usr/bin/env bash
# Whether this machine starts 32-bit Windows programs: decided once per test run by a probe,
# and obeyed by every 32-bit test. Some kernels refuse 32-bit programs altogether; there the
# 32-bit tests are skipped (status 77) with the reason, rather than failed or passed.
#   wine32_runtime.sh probe STATE PREFIX PROGRAM [ARGS...]
#       starts the 32-bit wine loader, sets up PREFIX and runs PROGRAM in it. Writes "yes"
#       to STATE and exits 0 when that works; writes "no: REASON" and exits 77 when the
#       loader is missing or cannot start; a program that fails under a working loader is a
#       fault (status 1).
#   wine32_runtime.sh run STATE COMMAND [ARGS...]
#       runs COMMAND when the probe said yes; otherwise prints the reason and exits 77.
# With HALLMERE_STRICT=1 only the kernel's refusal skips: a missing loader fails the probe,
# and a COMMAND that skips itself (77) fails.
set -u
SKIP=77
mode=$1
state=$2
shift 2

case $mode in
probe)
  prefix=$1
  shift
  loader=${WINE32_LOADER:-/usr/lib/wine/wine}
  mkdir -p "$(dirname "$state")"
  rm -f "$state"
  verdict() {
    echo "$1" >"$state"
    echo "32-bit Windows programs: $1"
  }
  if [ ! -x "$loader" ]; then
    verdict "no: $loader is not installed (Debian package wine32:i386, see tools/setup.sh)"
    [ "${HALLMERE_STRICT:-0}" = 1 ] && exit 1
    exit $SKIP
  fi
  if ! out=$("$loader" --version 2>&1); then
    out=$(echo "$out" | head -n1)
    verdict "no: the kernel does not start the 32-bit loader $loader (${out##*: })"
    exit $SKIP
  fi
  run_wine="$(dirname "$0")/run_wine.sh"
  WINE_BITS=32 "$run_wine" "$prefix" --init || { verdict "failed: no 32-bit prefix in $prefix"; exit 1; }
  if ! out=$(WINE_BITS=32 "$run_wine" "$prefix" "$@" 2>&1); then
    echo "$out" | tail -n 20
    verdict "failed: $loader ($("$loader" --version 2>&1)) starts, but not $*"
    exit 1
  fi
  verdict yes
  ;;
run)
  if [ ! -f "$state" ]; then
    echo "no 32-bit probe result in $state: the probe test did not run"
    exit 1
  fi
  verdict=$(cat "$state")
  if [ "$verdict" != yes ]; then
    echo "skipped, 32-bit Windows programs: $verdict"
    exit $SKIP
  fi
  [ "${HALLMERE_STRICT:-0}" = 1 ] || exec "$@"
  "$@"
  status=$?
  if [ $status -eq $SKIP ]; then
    echo "the test skipped itself, which a strict run does not allow"
    exit 1
  fi
  exit $status
  ;;
*)
  echo "usage: wine32_runtime.sh probe STATE PREFIX PROGRAM [ARGS...] | run STATE COMMAND [ARGS...]" >&2
  exit 2
  ;;
esac
