#!/usr/bin/env bash
# The runner's outputs and the Python module's results on a table of commands, held byte for byte
# against the files in golden/: an output of a few kilobytes whole, a larger one as its SHA-256
# and size with a readable head, so that a change shows where it begins. Paths of the build and
# of the scratch folder are written as BIN and WORK.
# Usage: golden_outputs.sh CLI GOLDEN_FOLDER [--python] [--update]
# --python pins the module's results instead (PYTHONPATH must find it); --update writes the files
# anew, for an output that is meant to change.
set -euo pipefail
cli=$(realpath "$1")
golden=$(realpath "$2")
shift 2
python=false
update=false
for option; do
  case $option in
  --python) python=true ;;
  --update) update=true ;;
  *) echo "unknown option $option"; exit 2 ;;
  esac
done
bin=$(dirname "$cli")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
whole_bytes=4096
head_bytes=600
failures=0
checked=0

# NAME COMMAND...: the command's standard output and exit code against golden/NAME.*
pin() {
  local name=$1
  shift
  local code=0
  "$@" >"$work/out" 2>/dev/null || code=$?
  echo "exit $code" >>"$work/out"
  sed -i "s|$bin|BIN|g; s|$work|WORK|g" "$work/out"
  local size hash
  size=$(stat -c %s "$work/out")
  hash=$(sha256sum "$work/out" | cut -d' ' -f1)
  checked=$((checked + 1))
  if $update; then
    rm -f "$golden/$name".*
    if [ "$size" -le $whole_bytes ]; then
      cp "$work/out" "$golden/$name.out"
    else
      echo "$hash $size" >"$golden/$name.sha256"
      head -c $head_bytes "$work/out" >"$golden/$name.head"
    fi
    return
  fi
  if [ -f "$golden/$name.out" ]; then
    cmp -s "$work/out" "$golden/$name.out" && return
    echo "== $name differs:"
    diff "$golden/$name.out" "$work/out" | head -20 || true
  elif [ -f "$golden/$name.sha256" ]; then
    [ "$(cat "$golden/$name.sha256")" = "$hash $size" ] && return
    echo "== $name differs: $hash $size, pinned $(cat "$golden/$name.sha256")"
    diff <(head -c $head_bytes "$work/out") "$golden/$name.head" | head -20 || true
  else
    echo "== $name has no golden file"
  fi
  failures=$((failures + 1))
}

# The concatenated files of an export, each after its name.
exported() {
  "$cli" export "$@" --to "$work/export" >/dev/null
  for f in flow_volume.csv volume_time.csv results.csv; do
    echo "-- $f"
    cat "$work/export/$f"
  done
  rm -rf "$work/export"
}

asthma=$bin/simulations/astma_oskrzelowa.spi
"$cli" run --runs 3 --set rIntermediate=300 --out "$work/three.spi" >/dev/null
if $python; then
  pin python-results /usr/bin/python3 "$here/../python/golden_results.py" "$work/three.spi" "$asthma"
else
  pin record-of-three-runs cat "$work/three.spi"
  pin run-json "$cli" run --json
  pin run-json-patient "$cli" run --json --patient female,40,165
  pin run-json-three-runs "$cli" run --json --runs 3 --set rIntermediate=300
  pin run-json-parts "$cli" run --json --set left.cm=80 --set lobe3.ccc=150 --global 0=90 \
    --set right.rCentral=50
  pin run-json-dead "$cli" run --json --set lungSize=10 --patient male,20,190
  pin run-json-from "$cli" run --json --from "$work/three.spi" --set cm=120
  pin run-table "$cli" run --set rPeripheral=200
  pin run-table-patient "$cli" run --set rIntermediate=800 --patient male,70,170
  pin sweep-csv "$cli" sweep --jobs 2 --sweep rIntermediate=100:400:x2 --sweep cm=50,100
  pin sweep-csv-patient "$cli" sweep --jobs 2 --sweep rIntermediate=100:400:x2 \
    --sweep global.0=80,100 --set left.cm=90 --patient male,50,175
  pin sweep-json "$cli" sweep --json --jobs 2 --sweep rIntermediate=100:400:x2 --sweep cm=50,100
  pin sweep-json-patient "$cli" sweep --json --jobs 1 --sweep lungSize=10,100 \
    --patient female,40,165
  pin sweep-shard-csv "$cli" sweep --shard 2/3 --sweep rIntermediate=100:400:x2 --sweep cm=50,100
  pin sweep-shard-json "$cli" sweep --json --shard 1/2 --sweep cm=50,100 --patient female,40,165
  pin show-json "$cli" show --json "$work/three.spi"
  pin show-json-case "$cli" show --json "$asthma"
  pin show-table "$cli" show "$work/three.spi" --patient male,30,180
  pin show-table-case "$cli" show "$asthma"
  pin export-csv exported "$work/three.spi"
  pin export-csv-patient exported "$asthma" --patient female,60,160
  pin quiz-json "$cli" quiz --seed 12 --json
  pin quiz-text "$cli" quiz --seed 3
  pin cases-json "$cli" cases --json
  pin cases-text "$cli" cases
fi

if $update; then
  echo "$checked outputs written to $golden"
  exit 0
fi
[ $failures -eq 0 ] || { echo "$failures of $checked outputs differ"; exit 1; }
echo "$checked outputs byte for byte as pinned"
