#!/usr/bin/env bash
# Every line of a sweep on two threads holds the indices a single run at its settings prints, and
# the lines come in the grid's order.
set -euo pipefail
cli=$1
out=$("$cli" sweep --json --jobs 2 --sweep rIntermediate=100:400:x4 --sweep global.0=80,100 \
  --set left.cm=90)
[ "$(grep -c . <<<"$out")" -eq 4 ] || { echo "expected 4 lines:"; echo "$out"; exit 1; }
point=0
while IFS= read -r line; do
  [[ $line == "{\"point\":$point,"* ]] || { echo "out of order at $point: $line"; exit 1; }
  ri=$(sed -E 's/.*"rIntermediate":([0-9.]+).*/\1/' <<<"$line")
  depth=$(sed -E 's/.*"global\.0":([0-9.]+).*/\1/' <<<"$line")
  swept=$(sed -E 's/.*"status":"[a-z]+"(,"fev1".*)\}$/\1/' <<<"$line")
  # The first and the last point are run again alone.
  if [ $point -eq 0 ] || [ $point -eq 3 ]; then
    single=$("$cli" run --json --set left.cm=90 --set rIntermediate="$ri" --global 0="$depth" |
      sed -E 's/^\{"run":1(,"fev1".*),"fvSamples".*/\1/')
    [ "$swept" = "$single" ] || { echo "point $point differs:"; echo "$swept"; echo "$single"; exit 1; }
  fi
  point=$((point + 1))
done <<<"$out"
echo "4 points in order, points 0 and 3 equal to single runs"
