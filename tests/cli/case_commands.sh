#!/usr/bin/env bash
# The teaching cases through the runner: the library listed as JSON with its texts as shown, a
# case and a quiz refused when asked wrongly, and the unknown patient of a seed the same every
# time, twenty seeds drawing five cases or more, and its record written with the patient as the
# newest result.
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cases=$("$cli" cases --json)
[ "$(grep -c '^{"id":' <<<"$cases")" -ge 11 ] || fail "fewer than 11 cases"
while IFS= read -r line; do
  grep -q '"story":"[^"]' <<<"$line" || fail "a case without a story: ${line:0:80}"
  [ "$(grep -o '"answer":"[^"]' <<<"$line" | wc -l)" -ge 3 ] || fail "fewer than 3 answers: ${line:0:80}"
  grep -q '"file":"[^"]*\.spi"}$' <<<"$line" || fail "a case without its file: ${line:0:80}"
  # The texts are shown as the sheet shows them: a figure's number, never its markup.
  ! grep -qE '"(story|question|answer|explanation)":"[^"]*[{}]' <<<"$line" || fail "figure markup shown: ${line:0:80}"
done <<<"$cases"

status() { "$cli" "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
[ "$(status quiz)" -eq 2 ] || fail "quiz without --seed"
[ "$(status quiz --seed -1)" -eq 2 ] || fail "quiz --seed -1"
[ "$(status cases --make no_such_case --out "$dir/x.spi")" -eq 2 ] || fail "an unknown case"

[ "$("$cli" quiz --seed 11 --json)" = "$("$cli" quiz --seed 11 --json)" ] || fail "seed 11 twice"
drawn=$(for seed in $(seq 1 20); do "$cli" quiz --seed "$seed" --json | sed -E 's/.*"case":"([a-z_0-9]+)".*/\1/'; done)
[ "$(sort -u <<<"$drawn" | wc -l)" -ge 5 ] || fail "20 seeds drew $(sort -u <<<"$drawn" | tr '\n' ' ')"

# A case made under the longest name a folder takes, and nothing beside it.
long=$(printf 'n%.0s' $(seq 251)).spi
mkdir "$dir/made"
"$cli" cases --make zwezenie_tchawicy --out "$dir/made/$long" || fail "a case under a 255-byte name"
[ "$(ls -A "$dir/made")" = "$long" ] || fail "made $(ls -A "$dir/made")"

"$cli" quiz --seed 3 --out "$dir/patient.spi" >/dev/null
shown=$("$cli" show --json "$dir/patient.spi")
[ "$(grep -c '"row":' <<<"$shown")" -eq 2 ] || fail "the patient's record: $shown"
echo "the library listed, the quiz reproducible and its patient written"
