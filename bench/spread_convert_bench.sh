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
# Best of three runs: wall seconds and processor seconds (user + system, children included), the
# second steadier on a shared machine.
best() {
  local wall=999999 cpu=999999
  for _ in 1 2 3; do
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null 2>&1
    read -r w u s <"$work/time"
    wall=$(echo "$w $wall" | awk '{print ($1 < $2 ? $1 : $2)}')
    cpu=$(echo "$u $s $cpu" | awk '{t = $1 + $2; print (t < $3 ? t : $3)}')
  done
  echo "$wall $cpu"
}
read -r ours_wall ours_cpu <<<"$(best "$convert" --sheet 2 "$work/sample.xls" "$work/ours.csv")"
echo "spread-convert: 65,000-row .xls to CSV in ${ours_wall} s, ${ours_cpu} s processor ($(wc -l < "$work/ours.csv") rows)"
if command -v ssconvert >/dev/null; then
  read -r theirs_wall theirs_cpu <<<"$(best ssconvert --export-type=Gnumeric_stf:stf_csv -O sheet=Rows "$work/sample.xls" "$work/theirs.csv")"
  echo "ssconvert:      65,000-row .xls to CSV in ${theirs_wall} s, ${theirs_cpu} s processor ($(wc -l < "$work/theirs.csv") rows)"
  echo "ratio: spread-convert is $(echo "$ours_wall $theirs_wall" | awk '{printf "%.1f", $2 / $1}') times faster (wall), \
$(echo "$ours_cpu $theirs_cpu" | awk '{printf "%.1f", $2 / $1}') times (processor)"
else
  echo "ssconvert not installed (apt-get install gnumeric): no comparison"
fi
