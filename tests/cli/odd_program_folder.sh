#!/usr/bin/env bash
# The runner in a program folder of its own whose name is no UTF-8 text, with the standard record,
# a case library whose first case ends in a run that is not valid, and no reference equations:
# cases --json stays valid JSON and gives each file's name back byte for byte; a make that fails
# leaves nothing beside its target; a sweep that cannot read its results for the patient says so
# before its first point.
set -uo pipefail
cli=$1
built=$(dirname "$cli")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
odd="$dir/odd-"$'\xff'
mkdir -p "$odd/cases" "$odd/datfiles1" "$dir/made"
ln "$cli" "$odd/velta-morvane-cli" 2>/dev/null || cp "$cli" "$odd/velta-morvane-cli"
cp "$built/datfiles1/standard.dat" "$odd/datfiles1/"
sed 's/^run: rCentral=800 | po dwóch miesiącach$/run: lungSize=10 | po dwóch miesiącach/' \
  "$built/cases/teaching-cases.txt" >"$odd/cases/teaching-cases.txt"
runner="$odd/velta-morvane-cli"
"$runner" cases --json >"$dir/cases.json" || fail "cases --json"
python3 - "$odd" "$dir/cases.json" <<'PYTHON' || fail "cases --json from a folder named in bytes"
import json, os, sys
folder = os.fsencode(sys.argv[1])
with open(sys.argv[2], "rb") as lines:
    for line in lines:
        line.decode("utf-8")  # the line itself is UTF-8 text
        file = os.fsencode(json.loads(line)["file"])
        assert file.startswith(folder + b"/") and file.endswith(b".spi"), file
PYTHON

"$runner" cases --make zwezenie_tchawicy --out "$dir/made/case.spi" 2>"$dir/err" && fail "made"
grep -q "is not valid" "$dir/err" && [ -z "$(ls -A "$dir/made")" ] ||
  fail "a failed make left $(ls -A "$dir/made"): $(cat "$dir/err")"

out=$("$runner" sweep --sweep cm=90,100 --patient female,40,165 2>"$dir/err")
code=$?
[ $code -eq 1 ] && [ -z "$out" ] && grep -q "gli-global-2022-splines.csv" "$dir/err" ||
  fail "a sweep for a patient without the equations: exit $code, $out $(cat "$dir/err")"
"$runner" sweep --sweep cm=90,100 >/dev/null || fail "a sweep without a patient needs no equations"
echo "valid JSON, nothing left by a failed make, a sweep for a patient refused before its points"
