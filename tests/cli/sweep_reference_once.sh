#!/usr/bin/env bash
# A sweep reads its reference once, before its first point: removed while the points run, it
# changes none of them; a shard, whose first line fingerprints the reference, opens it once too.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" run --out "$dir/ref.spi" >/dev/null || exit 1
# The leak check cannot run under strace.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -e trace=openat,open -o "$dir/trace" \
  "$cli" sweep --jobs 2 --shard 1/2 --reference "$dir/ref.spi" --sweep cm=80,90 >/dev/null || exit 1
opened=$(grep -c 'ref\.spi' "$dir/trace")
[ "$opened" -eq 1 ] || { echo "a shard opened its reference $opened times"; exit 1; }
"$cli" sweep --jobs 1 --reference "$dir/ref.spi" --sweep cm=80,90,100,110 >"$dir/grid.csv" &
# The header is written as the sweep starts; the first point then runs for a while.
for _ in $(seq 1000); do [ -s "$dir/grid.csv" ] && break || sleep 0.01; done
rm "$dir/ref.spi"
wait $! && [ "$(grep -c ',valid,' "$dir/grid.csv")" -eq 4 ] && echo "4 valid points" && exit 0
cat "$dir/grid.csv"
exit 1
