#!/usr/bin/python3
# %% [markdown]
# # Velta Morvane from Python
#
# A notebook-style walk through the module `velta_morvane` (each `# %%` is a cell; Jupyter,
# VS Code and Spyder run them one by one, or run the whole file with `/usr/bin/python3`).
# From the build tree: `PYTHONPATH=build/bin /usr/bin/python3 docs/python-example.py`.
# pandas and matplotlib (Debian's python3-pandas, python3-matplotlib) are used where present.

# %%
import os
import tempfile

import numpy as np

import velta_morvane as vm

try:
    import pandas as pd
except ImportError:
    pd = None

print("program folder:", vm.program_folder())

# %% [markdown]
# ## One test against the standard reference
# Settings are in percent of the reference and named as the runner names them: `cm` for both
# lungs, `left.cm`, `lobe3.ccc` for one part, `global.0` for a global item.

# %%
standard = vm.standard()
narrowed = vm.run({"rIntermediate": 300})
for key in ("fev1", "fvcex", "fev1PctFvc", "pef", "mef50"):
    print(f"{key:>11}: {narrowed[key]:7.3f}  standard {standard[key]:7.3f}")
print("flow-volume samples:", len(narrowed.fv_volume), "peak flow", np.max(narrowed.fv_flow))

# %% [markdown]
# ## A lesion of one lobe, with the per-lobe traces

# %%
lobe = vm.run({"lobe3.rPeripheral": 400}, lobe_traces=True)
volumes = lobe.lobes["volume"]  # one line per flow-volume sample from sample 0, a column per lobe
emptied = volumes[0] - volumes[-1]
print("volume each lobe gave up [l]:", np.round(emptied, 3))

# %% [markdown]
# ## Saving and opening simulation files (.spi), which the program opens too

# %%
three = vm.run({"cm": 80}, runs=3)
path = os.path.join(tempfile.mkdtemp(), "example.spi")
three.save(path)
opened = vm.open(path)
print(opened, [round(r["fev1"], 3) for r in opened.results])

# %% [markdown]
# ## A sweep, as `velta-morvane-cli sweep` runs it, into a DataFrame

# %%
rows = vm.sweep(["rIntermediate=100:1600:x2", "cm=50,100"])
if pd is not None:
    grid = pd.DataFrame(rows)
    print(grid.pivot(index="rIntermediate", columns="cm", values="fev1"))
else:
    for row in rows:
        print(row["point"], row["rIntermediate"], row["cm"], row["status"], row["fev1"])

# %% [markdown]
# ## The same sweep on a Dask cluster
# Here two workers in this process (a run lets go of the GIL, so they work side by side; worker
# processes started from a script would run the script's cells again). On a real cluster,
# `Client("tcp://scheduler:8786")` instead (see the README).

# %%
from distributed import Client, LocalCluster  # noqa: E402

import velta_morvane.dask  # noqa: E402

with LocalCluster(n_workers=2, threads_per_worker=1, processes=False,
                  dashboard_address=None) as cluster, Client(cluster) as client:
    on_cluster = velta_morvane.dask.sweep(["rIntermediate=100:1600:x2", "cm=50,100"], client)
print("equal to the sweep here:", [r["fev1"] for r in on_cluster] == [r["fev1"] for r in rows])
