#!/usr/bin/env bash
# A record written to a pipe or a device goes as a stream, byte for byte the file a run writes: a
# FIFO whose reader waits, a pipe of the shell's (>(...)), /dev/stdout and -, which leaves the
# record alone on the standard output. A file is still replaced whole.
set -uo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" run --out "$dir/file.spi" >/dev/null || exit 1
status=0
same() { # WHAT, the file the stream gave
  cmp -s "$dir/file.spi" "$2" || { echo "$1: $(wc -c <"$2") bytes, not the record"; status=1; }
}
mkfifo "$dir/fifo"
cat "$dir/fifo" >"$dir/from-fifo.spi" &
reader=$!
"$cli" run --json --out "$dir/fifo" >/dev/null 2>"$dir/err" || { cat "$dir/err"; status=1; }
wait $reader
same "a FIFO with its reader waiting" "$dir/from-fifo.spi"
"$cli" run --json --out >(cat >"$dir/from-pipe.spi") >/dev/null 2>"$dir/err" || { cat "$dir/err"; status=1; }
# The process substitution may still be writing when the runner ends.
for _ in $(seq 100); do cmp -s "$dir/file.spi" "$dir/from-pipe.spi" && break; sleep 0.1; done
same "a pipe of the shell's" "$dir/from-pipe.spi"
"$cli" run --out /dev/stdout 2>"$dir/err" | tail -c 621360 >"$dir/from-stdout.spi" || { cat "$dir/err"; status=1; }
same "/dev/stdout into a pipe" "$dir/from-stdout.spi"
"$cli" run --out - 2>"$dir/err" | cat >"$dir/from-dash.spi" || { cat "$dir/err"; status=1; }
same "- into a pipe" "$dir/from-dash.spi"
"$cli" quiz --seed 3 --out "$dir/quiz.spi" >/dev/null
"$cli" quiz --seed 3 --out - | cat >"$dir/quiz-dash.spi"
cmp -s "$dir/quiz.spi" "$dir/quiz-dash.spi" || { echo "quiz --out - is not its record"; status=1; }
[ $status -eq 0 ] && echo "the record through a FIFO, a pipe, /dev/stdout and -"
exit $status
