#!/usr/bin/env bash
# The README's first command, as a newcomer without a display runs it and as CI runs it: builds
# Kestrel24 in the given build folder, then (no display) takes the offscreen tour and leaves its
# files, and (a script on the headless backend) runs the demo window through the script. Each run
# must end with exit code 0.
set -euo pipefail
source_dir="$1" build_dir="$2"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
export TAMSIL_PROFILE_DIR="$profile"
fail() { echo "FAIL: $*" >&2; exit 1; }

out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u TAMSIL_PLATFORM -u TAMSIL_SCRIPT -u QT_QPA_PLATFORM \
  KESTREL_BUILD_DIR="$build_dir" "$source_dir/scripts/demo" 2>&1)" || fail "the tour ended with $?: $out"
grep -q 'no display found' <<<"$out" || fail "the tour did not say why no window opened: $out"
tour="$build_dir/demo"
for f in sample-sheet.png workbook.png sheet.pdf sample.xlsx calls.log; do
  [[ -s "$tour/$f" ]] || fail "the tour left no $f"
  grep -q "$tour/$f\|  $f" <<<"$out" || fail "the tour did not say where $f is"
done
grep -q '^put MaxRows = I4:13$' "$tour/calls.log" || fail "the tour did not fill the sample sheet"
grep -q "^call IsExcelFile(BSTR:\"$tour/sample.xls\") -> I2:-1$" "$tour/calls.log" || fail "the tour did not load the sample workbook"
grep -q "^call ImportExcelBook(BSTR:\"$tour/sample.xls\",BSTR:\"err2.log\")" "$tour/calls.log" || fail "the tour did not import the workbook"
grep -q '^call PrintSheet(I4:0)' "$tour/calls.log" || fail "the tour did not print"
head -c 5 "$tour/sheet.pdf" | grep -q '%PDF-' || fail "sheet.pdf is no PDF"
head -c 2 "$tour/sample.xlsx" | grep -q 'PK' || fail "sample.xlsx is no .xlsx (zip) file"

env TAMSIL_PLATFORM=headless TAMSIL_SCRIPT="$source_dir/tests/data/demo.script" KESTREL_BUILD_DIR="$build_dir" \
  "$source_dir/scripts/demo" >/dev/null 2>&1 || fail "the scripted headless run ended with $?"
grep -q '^\[Main\]' "$profile/Kestrel24.INI" || fail "the scripted run kept no window place"
echo "demo script: tour and scripted run passed"
