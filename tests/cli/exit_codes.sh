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
[ $status -eq 0 ] && echo "every exit code as expected"
exit $status
