#!/usr/bin/env bash
# Qtractor's plug-in scanner reads "CLAP:<path>" and answers one line per plug-in:
#   CLAP|<name>|<audio ins>:<outs>|<midi ins>:<outs>|<params in>:<out>|<flags>|<path>|<index>|<id hash>
set -u
module=$1
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
if [ ! -x "$scanner" ]; then
  echo "skipped: no $scanner (Debian package qtractor)"
  exit 77
fi
line=$(echo "CLAP:$module" | QT_QPA_PLATFORM=offscreen timeout 30 "$scanner" 2>/dev/null | head -n 1)
echo "scanner: $line"
IFS='|' read -r type name audio midi params _ path _ <<<"$line"
ok=1
[ "$type" = CLAP ] || { echo "not listed as a CLAP plug-in"; ok=0; }
[ "$name" = Hallmere ] || { echo "name: '$name'"; ok=0; }
[ "$audio" = 2:2 ] || { echo "audio ins:outs '$audio', expected 2:2"; ok=0; }
[ "$midi" = 0:0 ] || { echo "midi ins:outs '$midi', expected 0:0"; ok=0; }
[ "${params%%:*}" = 13 ] || { echo "parameters '$params', expected 13"; ok=0; }
[ "$path" = "$module" ] || { echo "path '$path'"; ok=0; }
[ $ok = 1 ]
