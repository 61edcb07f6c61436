#!/usr/bin/env bash
# Hallmere under the real-time checker, on a virtual display so that its editor is open
# and idling in a window: every count must be 0. Then the checker itself: a clean test
# plug-in passes, and each fault planted in its audio callback is caught under its kind.
#
# Variables: HOST, the words that run vsthost (natively with the counter preloaded, or under
# wine); PLUGIN, GAIN, NOPARAMS (the gain without parameters), FAULTY, the plug-ins as that vsthost names them; optionally UNSEEN,
# the planted faults this platform's counter cannot see (listed, not tried).
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
for v in HOST PLUGIN GAIN NOPARAMS FAULTY; do [ -n "${!v:-}" ] || fail "$v is not set"; done
read -r -a host <<<"$HOST"
flat() { tr '\n' ' ' <<<"$1"; }

display=()
command -v xvfb-run >/dev/null && display=(xvfb-run -a -s "-screen 0 640x480x24")
report=$("${display[@]}" "${host[@]}" rtcheck "$PLUGIN" --seconds 4 2>/dev/null) || fail "Hallmere: $(flat "$report")"
echo "$report"
[ ${#display[@]} -eq 0 ] || grep -q '^editor: in a window' <<<"$report" || fail "the editor did not open in a window"
grep -Eq '^audio-blocks: [1-9]' <<<"$report" || fail "no audio blocks"
grep -Eq '^rate-changes-while-suspended: [1-9]' <<<"$report" || fail "no rate changes"

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
