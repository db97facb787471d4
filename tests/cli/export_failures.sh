#!/usr/bin/env bash
# export writes every file through the file layer, whole or not at all, and stops at the first it
# cannot write, naming the cause: a FIFO nobody reads is refused at once rather than waited on, a
# full disk says so, and a file-size limit reached part-way leaves no partial file behind.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}
"$cli" run --runs 2 --out "$dir/two.spi" >/dev/null || exit 1
"$cli" export "$dir/two.spi" --to "$dir/whole" 2>/dev/null || fail "the whole export"

# export into a folder prepared by $2 (run in it); $1 names the case. Sets out and rc.
export_into() {
  mkdir "$dir/$1" && (cd "$dir/$1" && eval "$2")
  out=$(cd "$dir" && timeout 60 bash -c "$3"' "$0" export two.spi --to '"$1"' 2>&1' "$cli")
  rc=$?
}
# Every file left in a folder is one of the whole export's, and no temporary file is left.
only_whole_files() {
  for file in $(ls -A "$dir/$1"); do
    [ -p "$dir/$1/$file" ] || [ -L "$dir/$1/$file" ] && continue
    cmp -s "$dir/$1/$file" "$dir/whole/$file" || fail "$1: $file is not whole"
  done
}

export_into fifo "mkfifo flow_volume.csv" ""
[ $rc -eq 1 ] || fail "FIFO: exit $rc, expected 1: $out"
grep -q "No such device or address: fifo/flow_volume.csv" <<<"$out" || fail "FIFO: $out"
[ "$(ls -A "$dir/fifo")" = flow_volume.csv ] || fail "FIFO: went on to $(ls -A "$dir/fifo")"

export_into full "ln -s /dev/full volume_time.csv" ""
[ $rc -eq 1 ] || fail "full disk: exit $rc, expected 1: $out"
grep -q "Disk full: full/volume_time.csv" <<<"$out" || fail "full disk: $out"
[ "$(ls -A "$dir/full" | tr '\n' ' ')" = "flow_volume.csv volume_time.csv " ] ||
  fail "full disk: went on to $(ls -A "$dir/full")"
only_whole_files full

# A limit on a file's size (in KiB) that the flow-volume CSV, written first, passes part-way.
size=$(stat -c %s "$dir/whole/flow_volume.csv")
limit=$((size / 2048))
export_into limit "" "trap '' XFSZ; ulimit -f $limit;"
[ $rc -eq 1 ] || fail "size limit: exit $rc, expected 1: $out"
grep -q "File too large: limit/flow_volume.csv" <<<"$out" || fail "size limit: $out"
[ -z "$(ls -A "$dir/limit")" ] || fail "size limit: left $(ls -A "$dir/limit")"

[ $status -eq 0 ] && echo "each refused at once, its cause named, no partial file"
exit $status
