"""Sweeps on a Dask cluster of two worker processes on this machine, against the sweep run here."""

import pytest
from distributed import Client, LocalCluster

import velta_morvane as vm
import velta_morvane.dask
from test_module import comparable

AXES = ["rIntermediate=100:800:x2", "cm=50,100"]


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        yield client


def test_dask_sweep_equals_the_sweep_here_in_order_and_values(client):
    here = vm.sweep(AXES, jobs=2, settings={"global.0": 90}, patient="female,30,170")
    for chunk in [None, 1, 3, 100]:
        there = velta_morvane.dask.sweep(AXES, client, chunk, settings={"global.0": 90},
                                         patient="female,30,170")
        assert len(there) == 8 and comparable(there) == comparable(here), chunk


def test_bad_axes_and_chunks_are_refused_before_the_cluster_works(client):
    with pytest.raises(ValueError, match="--sweep: unknown setting 'bogus'"):
        velta_morvane.dask.sweep(["bogus=50"], client)
    with pytest.raises(ValueError, match="outside 10..2000"):
        velta_morvane.dask.sweep(["cm=50"], client, settings={"cm": 5})
    with pytest.raises(ValueError, match="chunk"):
        velta_morvane.dask.sweep(AXES, client, 0)
