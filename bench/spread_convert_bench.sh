#!/usr/bin/env bash
# Converts a 65,000-row .xls (written by python3-xlwt) to CSV with spread-convert and with a
# headless spreadsheet program (gnumeric's ssconvert, when installed), best of three runs each,
# and prints both times and their ratio. Usage: bench/spread_convert_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
convert="$build/tools/spread-convert/spread-convert"
[ -x "$convert" ] || { echo "build spread-convert first: cmake --build $build --target spread-convert" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 tests/spread_files/data/make_workbooks.py "$work" 65000
best() {  # best wall time in seconds of three runs of the command
  local best=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best=$(echo "$start $end ${best:-999999}" | awk '{t = $2 - $1; print (t < $3 ? t : $3)}')
  done
  echo "$best"
}
ours=$(best "$convert" --sheet 2 "$work/sample.xls" "$work/ours.csv")
echo "spread-convert: 65,000-row .xls to CSV in ${ours} s ($(wc -l < "$work/ours.csv") rows)"
if command -v ssconvert >/dev/null; then
  theirs=$(best ssconvert --export-type=Gnumeric_stf:stf_csv -O sheet=Rows "$work/sample.xls" "$work/theirs.csv")
  echo "ssconvert:      65,000-row .xls to CSV in ${theirs} s ($(wc -l < "$work/theirs.csv") rows)"
  echo "ratio: spread-convert is $(echo "$ours $theirs" | awk '{printf "%.1f", $2 / $1}') times faster"
else
  echo "ssconvert not installed (apt-get install gnumeric): no comparison"
fi
