#!/usr/bin/env bash
# export stops at the first file it cannot write, naming the cause and leaving no partial file: a
# FIFO nobody reads (refused at once, not waited on), a full disk, a file-size limit reached.
set -uo pipefail
cli=$1
cd "$(mktemp -d)" && trap 'rm -rf "$PWD"' EXIT
"$cli" run --runs 2 --out two.spi >/dev/null || exit 1
status=0
check() { # CASE, how its folder is prepared, what runs first, the message, the files left
  mkdir "$1" && (cd "$1" && eval "$2")
  out=$(timeout 60 bash -c "$3"' exec "$0" export two.spi --to '"$1" "$cli" 2>&1)
  [ $? -eq 1 ] && grep -q "$4" <<<"$out" && [ "$(ls -A "$1" | tr '\n' ' ')" = "$5" ] ||
    { echo "$1: left $(ls -A "$1"): $out"; status=1; }
}
check fifo "mkfifo flow_volume.csv" "" "No such device or address: fifo/flow_volume.csv" \
  "flow_volume.csv "
check full "ln -s /dev/full volume_time.csv" "" "Disk full: full/volume_time.csv" \
  "flow_volume.csv volume_time.csv "
check limit "" "trap '' XFSZ; ulimit -f 16;" "File too large: limit/flow_volume.csv" ""
exit $status
