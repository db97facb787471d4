#!/usr/bin/env bash
# Three shards of a sweep run side by side by GNU parallel, as a batch scheduler would run them,
# merge into byte for byte the sweep run whole, in CSV and in JSON; without one of them merge
# refuses, naming the missing shard.
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
grid=(--sweep rIntermediate=100:400:x2 --sweep global.0=80,100 --set left.cm=90)
for format in csv json; do
  json=()
  [ $format = json ] && json=(--json)
  "$cli" sweep --jobs 2 "${grid[@]}" "${json[@]}" >"$dir/whole.$format"
  parallel --halt now,fail=1 -j2 "$cli" sweep --jobs 1 --shard {}/3 "${grid[@]}" "${json[@]}" \
    '>' "$dir/shard{}.$format" ::: 1 2 3
  "$cli" merge "$dir"/shard{3,1,2}.$format >"$dir/merged.$format"
  cmp "$dir/whole.$format" "$dir/merged.$format"
done
if "$cli" merge "$dir/shard1.csv" "$dir/shard3.csv" >"$dir/out" 2>"$dir/err"; then
  echo "merge took two shards of three"
  exit 1
fi
grep -q "shard 2/3 is missing" "$dir/err" || { cat "$dir/err"; exit 1; }
[ ! -s "$dir/out" ] || { echo "merge wrote lines while refusing"; exit 1; }
echo "3 shards merged into the whole sweep, CSV and JSON; a missing shard refused"
