#!/usr/bin/env bash
# Hallmere under the real-time checker, on a virtual display so that its editor is open
# and idling in a window: every count must be 0. Then the checker itself: a clean test
# plug-in passes, and each fault planted in its audio callback is caught under its kind.
#
# Hallmere.vst3 the same way, its changes as parameter queues with program and bypass
# switches among them (its view is checked once the module offers one).
#
# Variables: HOST, the words that run vsthost_harness (natively with the counter preloaded, or
# under wine); PLUGIN, VST3 (the bundle), GAIN, NOPARAMS (the gain without parameters), FAULTY,
# the plug-ins as that harness names them; optionally UNSEEN,
# the planted faults this platform's counter cannot see (listed, not tried).
#
# check_realtime.sh clap: Hallmere.clap (CLAP) alone, its values as events at random
# offsets, its presets loaded from the window thread and its panel open there.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
read -r -a host <<<"${HOST:-}"
flat() { tr '\n' ' ' <<<"$1"; }
display=()
command -v xvfb-run >/dev/null && display=(xvfb-run -a -s "-screen 0 640x480x24")

if [ "${1:-}" = clap ]; then
  [ -n "${CLAP:-}" ] && [ -n "${HOST:-}" ] || fail "HOST and CLAP must be set"
  report=$("${display[@]}" "${host[@]}" rtcheck "$CLAP" --seconds 4 2>/dev/null) || fail "Hallmere.clap: $(flat "$report")"
  echo "$report"
  [ ${#display[@]} -eq 0 ] || grep -q '^editor: in a window' <<<"$report" || fail "the CLAP panel did not open in a window"
  for line in 'format: clap' 'audio-blocks: [1-9]' 'audio-thread-parameter-changes: [1-9]' \
    'program-changes: [1-9][0-9]* \(from the window thread\)' 'rate-changes-while-suspended: [1-9]' 'result: ok'; do
    grep -Eq "^$line" <<<"$report" || fail "Hallmere.clap: no '$line'"
  done
  exit 0
fi
for v in HOST PLUGIN VST3 GAIN NOPARAMS FAULTY; do [ -n "${!v:-}" ] || fail "$v is not set"; done

report=$("${display[@]}" "${host[@]}" rtcheck "$PLUGIN" --seconds 4 2>/dev/null) || fail "Hallmere: $(flat "$report")"
echo "$report"
[ ${#display[@]} -eq 0 ] || grep -q '^editor: in a window' <<<"$report" || fail "the editor did not open in a window"
grep -Eq '^audio-blocks: [1-9]' <<<"$report" || fail "no audio blocks"
grep -Eq '^rate-changes-while-suspended: [1-9]' <<<"$report" || fail "no rate changes"

report=$("${display[@]}" "${host[@]}" rtcheck "$VST3" --seconds 4 2>/dev/null) || fail "Hallmere.vst3: $(flat "$report")"
echo "$report"
for line in 'format: vst3' 'audio-blocks: [1-9]' 'audio-thread-parameter-changes: [1-9]' 'program-changes: [1-9]' \
  'bypass-switches: [1-9]' 'rate-changes-while-suspended: [1-9]'; do
  grep -Eq "^$line" <<<"$report" || fail "Hallmere.vst3: no '$line'"
done
[ ${#display[@]} -eq 0 ] || grep -Eq '^editor: in a window, [1-9][0-9]* idles, [1-9][0-9]* close/open' <<<"$report" ||
  fail "Hallmere.vst3: the view did not open and idle in a window"

for clean in "$GAIN" "$NOPARAMS"; do
  report=$("${host[@]}" rtcheck "$clean" --seconds 1 2>/dev/null) || fail "the clean test plug-in $clean: $(flat "$report")"
done

#        fault   kinds it may show up under (Windows sleeps by waiting on an event)
while read -r fault kind; do
  if grep -qw "$fault" <<<"${UNSEEN:-}"; then
    echo "planted $fault: not visible to this platform's counter"
    continue
  fi
  report=$(GAIN_RT_FAULT=$fault "${host[@]}" rtcheck "$FAULTY" --seconds 1 2>/dev/null) && fail "planted $fault not caught"
  grep -Eq "^audio-thread-($kind): [1-9]" <<<"$report" || fail "planted $fault not counted as $kind: $(flat "$report")"
  echo "planted $fault: caught ($(grep -E "^audio-thread-($kind): [1-9]" <<<"$report" | head -1))"
done <<'TABLE'
malloc allocations
new    allocations
mutex  locks
sleep  sleeps|waits
file   file-or-socket-calls
TABLE
echo "result: ok"
