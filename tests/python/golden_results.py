"""The module's results on a table of calls, printed exactly: every number as repr gives it (the
shortest text that reads back to it), the key order as the module gives it, each numpy array as
its type, shape and the SHA-256 of its bytes. tests/cli/golden_outputs.sh pins what this prints.
Usage: golden_results.py RECORD_OF_THREE_RUNS CASE_FILE"""

import hashlib
import sys

import numpy as np

import velta_morvane as vm


def text(value):
    if isinstance(value, np.ndarray):
        return f"{value.dtype}{list(value.shape)}:{hashlib.sha256(value.tobytes()).hexdigest()}"
    if isinstance(value, dict):
        return "{" + ", ".join(f"{k!r}: {text(v)}" for k, v in value.items()) + "}"
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(text(v) for v in value) + "]"
    return repr(value)


def result(name, r):
    print(f"== {name}: {r!r}")
    for field in ("row", "status", "indices", "empty_indices", "patient", "predicted",
                  "fv_volume", "fv_flow", "vt_time", "vt_volume", "settings", "lobes"):
        print(f"{field}: {text(getattr(r, field))}")


three, case = sys.argv[1:3]
print(f"stored indices: {text(vm.STORED_INDICES)}")
result("run", vm.run())
result("run patient", vm.run({"rIntermediate": 300}, patient="female,40,165"))
result("run parts", vm.run({"left.cm": 80, "lobe3.ccc": 150, "global.0": 90}, runs=2,
                           lobe_traces=True))
result("run dead", vm.run({"lungSize": 10}, patient=("male", 20, 190)))
result("run from", vm.run({"cm": 120}, from_file=three))
result("standard", vm.standard(patient="male,70,170"))
opened = vm.open(case)
print(f"open: {opened!r}")
for row in [opened.reference] + opened.results:
    result("open row", row)
for row in vm.open(three, patient="female,30,160").results:
    result("open three", row)
print(f"grid points: {vm.grid_points(['rIntermediate=100:400:x2', 'cm=50,100'])}")
for row in vm.sweep(["rIntermediate=100:400:x2", "cm=50,100"], jobs=2):
    print(f"sweep: {text(row)}")
for row in vm.sweep(["lungSize=10,100"], jobs=1, patient="male,50,175", shard=(1, 1)):
    print(f"sweep patient: {text(row)}")
