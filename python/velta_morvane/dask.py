"""Sweeps on a Dask cluster.

The grid is cut into chunks, each chunk a shard of the grid (as ``velta-morvane-cli sweep
--shard K/N`` cuts it: points K-1, K-1+N, ...), run by ``velta_morvane.sweep`` in a worker
process; the rows come back in the grid's order, equal to ``velta_morvane.sweep``'s::

    from distributed import Client, LocalCluster
    import velta_morvane.dask
    with LocalCluster(n_workers=2, threads_per_worker=1) as cluster, Client(cluster) as client:
        rows = velta_morvane.dask.sweep(["rIntermediate=100:1600:x2", "cm=50,100"], client)

Every worker imports velta_morvane, so the module must be installed (or on PYTHONPATH) where the
workers run, with its program folder; a reference or from_file must be a path the workers see.
"""

import math

import velta_morvane

__all__ = ["sweep"]


def _chunk_rows(axes, shard, options):
    # One test at a time per task: the workers' threads are the cluster's parallelism.
    return velta_morvane.sweep(axes, jobs=1, shard=shard, **options)


def sweep(axes, client, chunk=None, *, settings=None, reference=None, from_file=None,
          patient=None, program_folder=None):
    """Runs the grid of ``axes`` (the runner's --sweep texts) on the workers of ``client`` (a
    ``distributed.Client``) and returns its rows in the grid's order, as ``velta_morvane.sweep``
    does.

    chunk: about how many points one task runs (default: the grid cut into four tasks per
    worker thread, so that a slow chunk does not hold up the end). settings, reference,
    from_file, patient, program_folder: as for ``velta_morvane.sweep``, passed to every worker.

    Bad axes raise ValueError here, before anything is sent to the cluster.
    """
    if isinstance(axes, str):
        axes = [axes]
    axes = [str(axis) for axis in axes]
    if settings is not None and hasattr(settings, "items"):
        settings = list(settings.items())
    points = velta_morvane.grid_points(axes, settings, patient)
    if chunk is None:
        threads = max(1, sum(client.nthreads().values()))
        chunks = min(points, 4 * threads)
    else:
        if int(chunk) < 1:
            raise ValueError(f"chunk must be a whole number of points above 0, got {chunk!r}")
        chunks = math.ceil(points / int(chunk))
    options = {"settings": settings, "reference": reference, "from_file": from_file,
               "patient": patient, "program_folder": program_folder}
    futures = client.map(_chunk_rows, [axes] * chunks, [(k, chunks) for k in range(1, chunks + 1)],
                         [options] * chunks, pure=False)
    rows = [row for part in client.gather(futures) for row in part]
    rows.sort(key=lambda row: row["point"])
    if [row["point"] for row in rows] != list(range(points)):
        raise RuntimeError(f"the workers gave {len(rows)} rows for a grid of {points} points")
    return rows
