#!/usr/bin/env bash
# The runner's exit code for each way a command can end.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
check() {
  local expected=$1
  shift
  "$cli" "$@" >/dev/null 2>&1
  local got=$?
  if [ "$got" -ne "$expected" ]; then
    echo "exit $got, expected $expected: $*"
    status=1
  fi
}
check 0 run
check 3 run --set lungSize=10
check 3 run --runs 2 --set lungSize=10
check 3 sweep --sweep lungSize=10 --jobs 1
check 0 sweep --sweep lungSize=10,100 --jobs 1
check 2 run --set cm=1e400
check 2 run --set cm=0x64
check 2 sweep --sweep cm=0x64
check 1 run --reference /nonexistent/ref.spi
check 1 sweep --sweep cm=100 --reference /nonexistent/ref.spi
check 1 export /nonexistent/a.spi --to "$dir"
check 2 run --patient female,2,165
check 2 sweep --sweep cm=100 --patient child,8,130
check 0 run --patient male,95,250

# Output that cannot be written fails every command with its cause, a full disk here, and a run
# writes no record after it.
"$cli" run --out "$dir/one.spi" >/dev/null
"$cli" sweep --shard 1/1 --sweep cm=100 >"$dir/whole.csv"
full() {
  "$cli" "$@" >/dev/full 2>"$dir/err"
  local got=$?
  if [ "$got" -ne 1 ] || ! grep -q "cannot write the output: No space left on device" "$dir/err"; then
    echo "exit $got into a full disk: $* ($(cat "$dir/err"))"
    status=1
  fi
}
full run --json
full run --out "$dir/not-written.spi"
full sweep --sweep cm=90,100 --jobs 1
full sweep --json --shard 1/2 --sweep cm=90,100 --jobs 1
full show --json "$dir/one.spi"
full merge "$dir/whole.csv"
full cases --json
full quiz --seed 1
full help
[ ! -e "$dir/not-written.spi" ] || { echo "a run wrote its record after its output failed"; status=1; }
# A shard cut short by a file-size limit fails, and merge refuses the file it left.
(trap '' XFSZ; ulimit -f 1; "$cli" sweep --shard 1/2 --sweep cm=50:150:+10 --jobs 1 \
  >"$dir/cut.csv" 2>"$dir/err")
got=$?
grep -q "File too large" "$dir/err" && [ $got -eq 1 ] ||
  { echo "exit $got for a shard cut short: $(cat "$dir/err")"; status=1; }
"$cli" sweep --shard 2/2 --sweep cm=50:150:+10 --jobs 1 >"$dir/rest.csv"
check 1 merge "$dir/cut.csv" "$dir/rest.csv"
[ $status -eq 0 ] && echo "every exit code as expected"
exit $status
