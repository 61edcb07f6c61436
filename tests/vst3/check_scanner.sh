#!/bin/sh
# Ardour's VST 3 scanner loads the bundle, indexes it and must find the effect as Hallmere
# by Tovik, a reverb with two inputs and two outputs. Skips (77) without Ardour 7.
# Environment: BUNDLE (the Hallmere.vst3 folder), WORK (a scratch folder).
scanner=/usr/lib/ardour7/ardour-vst3-scanner
if [ ! -x "$scanner" ]; then
    echo "Ardour's VST 3 scanner is not installed: skipped"
    exit 77
fi
home="$WORK/home"
rm -rf "$home" && mkdir -p "$home" || exit 1
# The scanner writes its cache under HOME; a scratch one keeps the user's alone.
out=$(HOME="$home" LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 120 "$scanner" -f -v "$BUNDLE" 2>&1)
status=$?
echo "$out"
if [ $status -ne 0 ]; then
    echo "scanner failed with status $status"
    exit 1
fi
for expected in 'Found Plugin: Hallmere' 'name="Hallmere" vendor="Tovik" category="Fx|Reverb"' \
    'n_inputs="2" n_outputs="2" n_aux_inputs="0" n_aux_outputs="0"'; do
    if ! printf '%s\n' "$out" | grep -qF "$expected"; then
        echo "missing from the scanner's output: $expected"
        exit 1
    fi
done
