#!/usr/bin/env bash
# A sweep reads its reference once, before its first point: the reference removed while the points
# run changes none of them, and every line is there.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" run --out "$dir/reference.spi" >/dev/null || exit 1
"$cli" sweep --jobs 1 --reference "$dir/reference.spi" --sweep cm=80,90,100,110 \
  >"$dir/grid.csv" 2>"$dir/errors" &
sweep=$!
# The header is written once the sweep has started; the first point then runs for a while.
for _ in $(seq 1000); do
  [ -s "$dir/grid.csv" ] && break
  sleep 0.01
done
rm "$dir/reference.spi"
wait $sweep
rc=$?
[ $rc -eq 0 ] || { echo "exit $rc: $(cat "$dir/errors")"; exit 1; }
[ "$(grep -c ',valid,' "$dir/grid.csv")" -eq 4 ] || { echo "not 4 valid points:"; cat "$dir/grid.csv"; exit 1; }
echo "4 valid points from a reference removed after the start"
