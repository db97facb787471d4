#!/usr/bin/env bash
# Ctrl+C during a sweep: the lines written so far stay whole, and the exit code says interrupted.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" sweep --jobs 1 --sweep cm=50:150:+10 >"$dir/out" 2>"$dir/err" &
pid=$!
# The header and the first point, then the interrupt while the second one runs.
for _ in $(seq 600); do
  [ "$(grep -c . "$dir/out")" -ge 2 ] && break
  sleep 0.1
done
kill -INT $pid
wait $pid
code=$?
lines=$(grep -c . "$dir/out")
if [ $code -ne 130 ] || [ "$lines" -lt 2 ] || [ "$lines" -ge 12 ]; then
  echo "exit $code with $lines lines"; cat "$dir/out" "$dir/err"; exit 1
fi
# Every point line is complete: as many fields as the header names.
awk -F, 'NR == 1 { n = NF } NR > 1 && NF != n { print "cut line: " $0; bad = 1 } END { exit bad }' \
  "$dir/out" || exit 1
grep -q "interrupted after" "$dir/err" || { echo "no message"; cat "$dir/err"; exit 1; }
echo "interrupted with $((lines - 1)) points kept"
