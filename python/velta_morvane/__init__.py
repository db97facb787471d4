"""Velta Morvane from Python: simulated spirometric tests, simulation files and sweeps.

The same model and session as the program and its headless runner ``velta-morvane-cli``: a run
here equals ``velta-morvane-cli run --json`` with the same settings, sample for sample, and a
sweep equals ``velta-morvane-cli sweep`` point for point. Settings are named as the runner names
them, in percent of the reference::

    import velta_morvane as vm
    r = vm.run({"rIntermediate": 300, "left.cm": 80, "global.0": 90})
    r["fev1"], r.status, r.fv_volume, r.fv_flow
    rows = vm.sweep(["rIntermediate=100:1600:x2", "cm=50,100"])   # pandas.DataFrame(rows)

The runs release the GIL, so that Python threads run them side by side; ``velta_morvane.dask``
spreads a sweep over a Dask cluster.

The program folder, which holds ``datfiles1/standard.dat`` (the standard reference), is found as
``program_folder()`` says; every function also takes it as ``program_folder=``.
"""

import os
import pathlib

from . import _core

__all__ = ["STORED_INDICES", "Record", "Result", "grid_points", "open", "program_folder", "run",
           "standard", "sweep"]

FOLDER_VARIABLE = "VELTA_MORVANE_FOLDER"

# The indices a record stores, in single precision; the others are read from its curves.
STORED_INDICES = _core.stored_indices


def program_folder():
    """The folder holding ``datfiles1/``: $VELTA_MORVANE_FOLDER when set, else the folder this
    package lies in when it holds the data (the build tree's ``bin/``), else the installed
    program's folder (``<prefix>/lib/velta-morvane`` for the package in
    ``<prefix>/lib/python3/dist-packages``)."""
    folder = os.environ.get(FOLDER_VARIABLE)
    if folder:
        return folder
    package = pathlib.Path(__file__).resolve().parent
    beside, installed = package.parent, package.parents[2] / "velta-morvane"
    for candidate in (beside, installed):
        if (candidate / "datfiles1" / "standard.dat").is_file():
            return str(candidate)
    return str(beside)


def _path(path):
    """A path as the file system takes it: str (surrogate escapes included), bytes or
    os.PathLike; one with a NUL byte, which the system would cut there, raises ValueError as
    Python's open() does."""
    path = os.fsencode(path)
    if b"\0" in path:
        raise ValueError("embedded null byte")
    return path


def _folder(folder):
    return _path(folder if folder is not None else program_folder())


def _optional_path(path):
    return None if path is None else _path(path)


class Result:
    """One row of a record: a test's result, or a file's reference.

    ``result["fev1"]`` and ``result.indices`` give every index under the runner's JSON keys, in
    its order: the stored ones (``fev1`` .. ``modelVariant``), each exactly the single-precision
    value the record holds, then those read from the curves (``fef25to75``, ``fev6`` ...), NaN
    where a curve cannot give one, ``empty_indices`` saying why. With a patient, ``patient`` and
    ``predicted`` are the runner's JSON objects of that name (predicted values, limits, z-scores
    and the reading); otherwise None. The curves are numpy float32 arrays of
    the stored samples: ``fv_volume`` [l] and ``fv_flow`` [l/s] (the flow-volume curve),
    ``vt_time`` [s] and ``vt_volume`` [l] (the volume-time curve). ``status`` is "valid", "dead"
    or "error"; ``settings`` the row's settings under the names ``run`` takes. With
    ``lobe_traces=True``, ``lobes`` holds per-lobe traces, one line per flow-volume sample from
    sample 0 (the state the forced expiration starts from) and one column per lobe 1..5:
    ``intermediate_resistance``, ``peripheral_resistance``, ``volume`` and ``flow_limited``;
    otherwise it is None.
    """

    def __init__(self, fields, record):
        self.row = fields["row"]
        self.status = fields["status"]
        self.indices = fields["indices"]
        self.empty_indices = fields["empty_indices"]
        self.patient = fields["patient"]
        self.predicted = fields["predicted"]
        self.fv_volume = fields["fv_volume"]
        self.fv_flow = fields["fv_flow"]
        self.vt_time = fields["vt_time"]
        self.vt_volume = fields["vt_volume"]
        self.settings = fields["settings"]
        self.lobes = fields.get("lobes")
        self.record = record

    def __getitem__(self, key):
        return self.indices[key]

    def save(self, path):
        """Writes the record this result belongs to as a simulation file (.spi), as the runner's
        ``--out`` does. Raises OSError with the runner's message when it cannot."""
        self.record.save(path)

    def __repr__(self):
        return (f"<velta_morvane.Result row {self.row}: {self.status}, "
                f"FEV1 {self.indices['fev1']:.3f} l, FVC {self.indices['fvcex']:.3f} l>")


class Record:
    """A whole record as the program holds it and saves it: ``reference`` (row 0) and
    ``results``, newest first (at most three, as the program shows them)."""

    def __init__(self, core, lobe_traces=False):
        self._core = core
        self._lobe_traces = lobe_traces

    def row(self, row, lobe_traces=None):
        """Record row 0..4 as a Result."""
        traces = self._lobe_traces if lobe_traces is None else lobe_traces
        return Result(self._core.row(row, traces), self)

    @property
    def reference(self):
        return self.row(0)

    @property
    def results(self):
        return [self.row(r) for r in range(1, self._core.result_count + 1)]

    def save(self, path):
        """Writes the record as a simulation file (.spi). Raises OSError when it cannot."""
        self._core.save(_path(path))

    def __repr__(self):
        return f"<velta_morvane.Record: reference and {self._core.result_count} results>"


def run(settings=None, runs=1, reference=None, *, from_file=None, patient=None, lobe_traces=False,
        program_folder=None):
    """Runs simulated tests as ``velta-morvane-cli run`` does and returns the newest result.

    settings: a mapping (or pairs) of the runner's names to percents of the reference: ``cm``
    for both lungs, ``left.cm``, ``right.cm``, ``lobe1.cm`` .. ``lobe5.cm`` for a part, and
    ``global.I`` for global item I. runs: tests in a row, each from the state the previous one
    left; the result's ``record`` keeps the earlier ones as the program does. reference: a
    simulation file whose row 0 is the reference (default: the standard reference). from_file:
    start from a simulation file's record, as opening it in the program does. patient:
    "female,40,165" or ("female", 40, 165), to read the result against that person's reference
    values, as ``--patient``. lobe_traces: add the per-lobe traces.

    A bad name or value raises ValueError, a file that cannot be read OSError, each with the
    runner's message. The run releases the GIL; Ctrl+C stops it between two runs with
    KeyboardInterrupt. Paths are str, bytes or os.PathLike; one holding a NUL byte raises
    ValueError, as open() does.
    """
    core = _core.run(_folder(program_folder), settings, runs, _optional_path(reference),
                     _optional_path(from_file), patient)
    return Record(core, lobe_traces).row(1)


def standard(*, patient=None, lobe_traces=False, program_folder=None):
    """The standard reference: the result of a run at all settings 100, as the program folder's
    ``datfiles1/standard.dat`` holds it."""
    core = _core.standard(_folder(program_folder), patient)
    return Record(core, lobe_traces).row(0)


def open(path, *, patient=None, lobe_traces=False, program_folder=None):  # noqa: A001
    """A simulation file (.spi) as the program opens it: a Record of its reference and results,
    read for ``patient`` as ``show --patient`` reads them. Raises OSError with the runner's
    message when the file cannot be read."""
    return Record(_core.open(_folder(program_folder), _path(path), patient), lobe_traces)


def _axes(axes):
    return [axes] if isinstance(axes, str) else [str(axis) for axis in axes]


def sweep(axes, jobs=None, *, settings=None, reference=None, from_file=None, patient=None,
          shard=None, program_folder=None):
    """One test at every point of a grid, as ``velta-morvane-cli sweep`` runs it.

    axes: the runner's --sweep texts, the first changing slowest:
    ``["rIntermediate=100:1600:x2", "cm=50,100"]``. jobs: tests at once (default: one per
    hardware thread). settings, reference, from_file, patient: as for ``run``, kept at every
    point.
    shard: (K, N) runs only the K-th of N parts of the grid, as ``--shard K/N``.

    Returns one dict per point in the grid's order with the columns of the runner's sweep CSV:
    ``point``, each axis by its name, ``status``, every index and, with a patient, the predicted
    values and the reading's keys (NaN where the CSV is empty), so that
    ``pandas.DataFrame(rows)`` takes them directly. Ctrl+C stops it with KeyboardInterrupt.
    """
    return _core.sweep(_folder(program_folder), _axes(axes), jobs, settings,
                       _optional_path(reference), _optional_path(from_file), patient, shard)


def grid_points(axes, settings=None, patient=None):
    """How many points the grid of these --sweep texts has; ValueError for a bad axis, setting
    or patient, with the runner's message."""
    return _core.grid_points(_axes(axes), settings, patient)
