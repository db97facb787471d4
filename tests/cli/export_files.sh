#!/usr/bin/env bash
# export of a record with two results: the curves of the three rows in use, the results table,
# and both plots as PNG and SVG.
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" run --runs 2 --out "$dir/two.spi" >/dev/null
"$cli" export "$dir/two.spi" --to "$dir/out"
fail() { echo "$*"; exit 1; }
for plot in flow_volume volume_time; do
  [ "$(head -c 4 "$dir/out/$plot.png" | tail -c 3)" = PNG ] || fail "$plot.png is no PNG"
  grep -q '<svg' "$dir/out/$plot.svg" || fail "$plot.svg is no SVG"
done
[ "$(head -1 "$dir/out/flow_volume.csv")" = "row,sample,volume [l],flow [l/s]" ] || fail "fv header"
[ "$(head -1 "$dir/out/volume_time.csv")" = "row,sample,time [s],volume [l]" ] || fail "vt header"
[ "$(tail -n +2 "$dir/out/flow_volume.csv" | cut -d, -f1 | uniq | tr '\n' ' ')" = "0 1 2 " ] ||
  fail "flow-volume rows are not 0, 1, 2"
[ "$(cut -d, -f1,2 "$dir/out/results.csv" | tr '\n' ' ')" = "row,status 0,valid 1,valid 2,valid " ] ||
  fail "results rows: $(cat "$dir/out/results.csv")"
# The report of an obstructed result for a patient: one A4 page that renders and reads.
"$cli" run --set rIntermediate=800 --out "$dir/obstructed.spi" >/dev/null
"$cli" export "$dir/obstructed.spi" --to "$dir/report" --report --patient male,70,170
pdftoppm -r 20 -png "$dir/report/report.pdf" "$dir/page" || fail "the report does not render"
[ "$(ls "$dir"/page*.png | wc -l)" = 1 ] || fail "the report is not one page"
text=$(pdftotext "$dir/report/report.pdf" -)
for words in "mężczyzna, 70 lat, 170 cm" "FEV1/FVC" "z-score" "DGN" "FEF25-75" "Obturacja"; do
  grep -qF "$words" <<<"$text" || fail "the report lacks '$words'"
done
grep -q "fev1 z" "$dir/report/results.csv" || fail "results.csv without the patient's columns"
# A folder whose name Qt would take for one of its own options is the runner's.
(cd "$dir" && "$cli" export obstructed.spi --to -platform --report) || fail "--to -platform"
[ -s "$dir/-platform/report.pdf" ] || fail "no report in -platform"
echo "seven files, rows 0..2, and the report"
