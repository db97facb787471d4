#!/usr/bin/env bash
# Installs the build under /usr into a scratch DESTDIR and checks the tree the Debian package
# ships: both programs reached through bin/, the data beside them, the menu entry with its icon,
# the metainfo, a run of the installed runner on the installed standard record, and one of the
# Python module where Debian's python3 finds it, on the installed program's data. An extension
# built with the sanitizers needs their runtime loaded first: VM_PYTHON_PRELOAD names it.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

status=0
fail() {
  echo "FAIL: $*"
  status=1
}

lib=$root/usr/lib/velta-morvane
for program in velta-morvane velta-morvane-cli; do
  [ -x "$lib/$program" ] || fail "$lib/$program is not an executable"
  [ "$(readlink -f "$root/usr/bin/$program")" = "$lib/$program" ] ||
    fail "usr/bin/$program does not lead to $lib/$program"
done
# Exactly the data files: a scratch file left in the build tree must not ship.
expected="F000.dat F001.dat F002.dat F003.dat F004.dat F005.dat gli-global-2022-splines.csv standard.dat tlo.dat"
[ "$(cd "$lib/datfiles1" && echo $(ls | sort))" = "$expected" ] ||
  fail "datfiles1 holds $(ls "$lib/datfiles1")"
for file in installed-layout helpfiles/H000{0..6}.rtf helpfiles/pdp.txt; do
  [ -s "$lib/$file" ] || fail "$file is missing or empty"
done
[ -d "$lib/simulations" ] || fail "simulations/ is missing"
# The case library and a simulation file for each of its cases, which the runner lists.
cases=$(grep -c '^case: ' "$lib/cases/teaching-cases.txt" || true)
[ "$cases" -ge 11 ] || fail "cases/teaching-cases.txt holds $cases cases"
[ "$(ls "$lib/simulations" | grep -c '\.spi$')" -eq "$cases" ] ||
  fail "simulations/ holds $(ls "$lib/simulations")"

desktop=$root/usr/share/applications/org.veltamorvane.VeltaMorvane.desktop
metainfo=$root/usr/share/metainfo/org.veltamorvane.VeltaMorvane.metainfo.xml
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/usr/bin/$exec_line" ] || fail "the menu entry starts '$exec_line', not in usr/bin"
[ -s "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon '$icon' is missing"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli validate"
fi

"$root/usr/bin/velta-morvane-cli" run --json >"$root/run.json" || fail "the installed runner"
grep -q '"fev1"' "$root/run.json" || fail "the installed runner gave no FEV1: $(head -c 300 "$root/run.json")"
[ "$("$root/usr/bin/velta-morvane-cli" cases --json | grep -c '^{"id":')" -eq "$cases" ] ||
  fail "the installed runner does not list the cases"
packages=$root/usr/lib/python3/dist-packages
if [ -d "$packages/velta_morvane" ]; then
  preload=()
  [ -n "${VM_PYTHON_PRELOAD:-}" ] && preload=(env "LD_PRELOAD=$VM_PYTHON_PRELOAD" ASAN_OPTIONS=detect_leaks=0)
  "${preload[@]}" env -u VELTA_MORVANE_FOLDER PYTHONPATH="$packages" PYTHONDONTWRITEBYTECODE=1 \
    /usr/bin/python3 -c 'import sys, velta_morvane as vm
sys.exit(vm.program_folder() != sys.argv[1] or vm.run().status != "valid")' "$lib" ||
    fail "the installed Python module does not run on $lib"
fi
exit $status
