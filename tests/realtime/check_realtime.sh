#!/usr/bin/env bash
# Hallmere under the real-time checker, on a virtual display so that its editor is open
# and idling in a window: every count must be 0. Then the checker itself: a clean test
# plug-in passes, and each fault planted in its audio callback is caught under its kind.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
for v in VSTHOST COUNTER PLUGIN GAIN FAULTY; do [ -n "${!v:-}" ] || fail "$v is not set"; done

rtcheck() {  # rtcheck PLUGIN SECONDS: the checker's report on stdout, its status returned
  LD_PRELOAD=$COUNTER "$VSTHOST" rtcheck "$1" --seconds "$2"
}

display=()
command -v xvfb-run >/dev/null && display=(xvfb-run -a -s "-screen 0 640x480x24")
report=$("${display[@]}" env LD_PRELOAD="$COUNTER" "$VSTHOST" rtcheck "$PLUGIN" --seconds 4) ||
  fail "Hallmere: $(printf '%s' "$report" | tr '\n' ' ')"
echo "$report"
grep -q '^editor: in a window' <<<"$report" || [ ${#display[@]} -eq 0 ] || fail "the editor did not open in a window"
grep -Eq '^audio-blocks: [1-9]' <<<"$report" || fail "no audio blocks"

report=$(rtcheck "$GAIN" 1) || fail "the clean test plug-in: $(printf '%s' "$report" | tr '\n' ' ')"

#        fault   kind it must show up under
while read -r fault kind; do
  report=$(GAIN_RT_FAULT=$fault rtcheck "$FAULTY" 1) && fail "planted $fault not caught"
  grep -Eq "^audio-thread-$kind: [1-9]" <<<"$report" || fail "planted $fault not counted as $kind: $report"
  echo "planted $fault: caught ($(grep "^audio-thread-$kind:" <<<"$report"))"
done <<'TABLE'
malloc allocations
new    allocations
mutex  locks
sleep  sleeps
file   file-or-socket-calls
TABLE
echo "result: ok"
