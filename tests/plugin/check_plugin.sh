#!/usr/bin/env bash
# End-to-end checks of the built plug-in binaries, one case per call:
#   check_plugin.sh CASE
# Environment: VSTHOST, PLUGIN (the Linux .so), WORK; WIN32_DLL and WIN64_DLL for the
# static check; for the cases under wine WIN_VSTHOST, WIN_DLL (of the same build), WINE_RUN,
# WINE_PREFIX.
set -u
case_name=$1
work=$WORK/$case_name
rm -rf "$work" && mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_line() { grep -qxF -- "$2" "$1" || fail "missing line in $1: $2"; }
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
wine_host() { "$WINE_RUN" "$WINE_PREFIX" "$WIN_VSTHOST" "$@"; }

# What every build of the plug-in must report about itself.
check_identity() {
  local out=$1
  expect_line "$out" 'name: "Hallmere"'
  expect_line "$out" 'vendor: "Tovik"'
  expect_line "$out" 'product: "Tovik VST PLUGIN"'
  expect_line "$out" "vendorVersion: 105"
  expect_line "$out" 'uniqueID: "TvHm" 0x5476486D'
  expect_line "$out" 'numPrograms: 8'
  expect_line "$out" 'numParams: 13'
  expect_line "$out" 'numInputs: 2'
  expect_line "$out" 'numOutputs: 2'
  expect_line "$out" 'param.2.name: "T60\t\t\t"'
  expect_line "$out" 'param.2.display: "2170.000"'
  expect_line "$out" 'param.6.display: "4000.080"'
  expect_line "$out" 'param.8.label: "\t\t\t\t"'
  expect_line "$out" 'param.5.name: "Early ref delay"'
  expect_line "$out" 'program.0.name: "Default                "'
  expect_line "$out" 'program.6.name: "Loud neighbours        "'
  expect_line "$out" 'canDo.2in2out: 1'
  grep -q '^flags: 0x0000001[EF] ' "$out" || fail "flags"
}

case $case_name in
info)
  "$VSTHOST" info "$PLUGIN" >"$work/info.txt" || fail "info failed"
  check_identity "$work/info.txt"
  ;;
programs)
  # Every factory program renders finite, audible audio, and the replacing and
  # accumulating callbacks agree (at equal block sizes: the noise offset is drawn per block).
  for p in 0 1 2 3 4 5 6 7; do
    "$VSTHOST" render "$PLUGIN" --signal drums --seconds 2 --program $p --out "$work/p$p.wav" --quiet || fail "render $p"
    "$VSTHOST" stat "$work/p$p.wav" >"$work/p$p.txt" || fail "stat $p"
    expect_line "$work/p$p.txt" 'nonfinite: 0'
    expect_line "$work/p$p.txt" 'silent: no'
  done
  "$VSTHOST" render "$PLUGIN" --signal drums --seconds 2 --program 2 --block 37 --replace --out "$work/rep.wav" --quiet
  "$VSTHOST" render "$PLUGIN" --signal drums --seconds 2 --program 2 --block 37 --accumulate --out "$work/acc.wav" --quiet
  cmp -s "$work/rep.wav" "$work/acc.wav" || fail "accumulating and replacing renders differ"
  ;;
win_static)
  # Both DLLs' exports and imports, which hosts see before running anything.
  for dll in "$WIN32_DLL" "$WIN64_DLL"; do
    [ -f "$dll" ] || fail "no $dll"
    objdump -p "$dll" >"$work/pe.txt" 2>&1 || fail "objdump $dll"
    grep -qE '^\s*\[\s*[0-9]+\] main$' "$work/pe.txt" || fail "$dll does not export main"
    imports=$(grep -E 'DLL Name:' "$work/pe.txt" | awk '{print tolower($3)}' | sort -u)
    for lib in $imports; do
      case $lib in
        kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|shell32.dll|advapi32.dll|comdlg32.dll|uuid.dll|api-ms-win-*) ;;
        *) fail "$dll imports $lib, not a Windows system DLL" ;;
      esac
    done
    echo "$(basename "$(dirname "$(dirname "$dll")")"): imports $(echo $imports)"
  done
  objdump -f "$WIN32_DLL" | grep -q 'file format pei-i386' || fail "win32 DLL is not i386"
  objdump -f "$WIN64_DLL" | grep -q 'file format pei-x86-64' || fail "win64 DLL is not x86-64"
  ;;
wine_info)
  wine_host info "$(winpath "$WIN_DLL")" | tr -d '\r' >"$work/info.txt" || fail "info under wine failed"
  check_identity "$work/info.txt"
  "$VSTHOST" info "$PLUGIN" >"$work/native.txt"
  diff <(grep -v '^plugin:' "$work/native.txt") <(grep -v '^plugin:' "$work/info.txt") || fail "Windows and Linux builds report differently"
  ;;
wine_identical)
  # Same input, same settings: the Windows DLL and the Linux library give the same bits,
  # for every factory program.
  for p in 0 1 2 3 4 5 6 7; do
    args=(--signal drums --seconds 3 --program $p --block 300 --param 2=0.41)
    "$VSTHOST" render "$PLUGIN" "${args[@]}" --out "$work/native$p.wav" --quiet || fail "native render $p"
    wine_host render "$(winpath "$WIN_DLL")" "${args[@]}" --out "$(winpath "$work/win$p.wav")" --quiet || fail "wine render $p"
    cmp "$work/native$p.wav" "$work/win$p.wav" || fail "program $p: Windows and Linux output differ"
  done
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
