#!/usr/bin/env bash
# The committed guide is what the generator writes from today's tables, and every picture
# it shows is in the repository. Usage: check_guide.sh GENERATOR DOCS_DIR WORK_DIR
set -u
generator=$1 docs=$2 work=$3
mkdir -p "$work"
"$generator" "$work/guide.md" || { echo "FAIL: the generator failed" >&2; exit 1; }
if ! diff -u "$docs/guide.md" "$work/guide.md" >&2; then
  echo "FAIL: docs/guide.md is out of date: cmake --build build/native --target guide" >&2
  exit 1
fi
pictures=$(grep -o '](decay/[^)]*)' "$docs/guide.md" | sed 's/^](//; s/)$//')
[ -n "$pictures" ] || { echo "FAIL: the guide shows no pictures" >&2; exit 1; }
for picture in $pictures; do
  [ -s "$docs/$picture" ] || { echo "FAIL: docs/$picture is missing" >&2; exit 1; }
done
echo "ok: docs/guide.md is current, $(wc -w <<<"$pictures") pictures present"
