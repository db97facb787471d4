#!/usr/bin/python3
"""How the Python module scales: a 16-point sweep on a Dask LocalCluster of two worker processes
against one of one worker, and runs on two Python threads against one, side by side in turns
(so that a drift in the machine's speed favours neither), with the medians and their ratio.

    PYTHONPATH=build-release/bin /usr/bin/python3 bench/python_scaling.py [ROUNDS]

The load average is printed before and after: on a machine whose cores are busy with other work
the ratios say more about that work than about the module.
"""

import concurrent.futures
import math
import os
import statistics
import sys
import time

from distributed import Client, LocalCluster

import velta_morvane as vm
import velta_morvane.dask

AXES = ["rIntermediate=100:800:x2", "cm=50,100", "lungSize=90,110"]  # 16 points
THREAD_RUNS = 8
SETTINGS = [{"rIntermediate": 100 + 25 * i} for i in range(THREAD_RUNS)]


def timed(work):
    start = time.perf_counter()
    result = work()
    return time.perf_counter() - start, result


def comparable(rows):
    return [{k: ("nan" if isinstance(v, float) and math.isnan(v) else v) for k, v in row.items()}
            for row in rows]


def runs_on(threads):
    with concurrent.futures.ThreadPoolExecutor(threads) as pool:
        return [r.indices for r in pool.map(vm.run, SETTINGS)]


def report(name, one, two, what_one, what_two):
    a, b = statistics.median(one), statistics.median(two)
    print(f"{name}:")
    print(f"  {what_one:<34} median {a:7.3f} s   ({', '.join(f'{t:.3f}' for t in one)})")
    print(f"  {what_two:<34} median {b:7.3f} s   ({', '.join(f'{t:.3f}' for t in two)})")
    print(f"  ratio {b / a:.2f}")


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    print(f"load average before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}, "
          f"{os.cpu_count()} hardware threads")
    expected = comparable(vm.sweep(AXES, jobs=1))
    assert len(expected) == 16
    alone, pair = [], []
    with LocalCluster(n_workers=1, threads_per_worker=1, dashboard_address=None) as one, \
            LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as two, \
            Client(one) as one_worker, Client(two) as two_workers:
        # The first sweep of each cluster imports the module in its workers; it is not timed.
        for client in (one_worker, two_workers):
            velta_morvane.dask.sweep(AXES[:1], client)
        for _ in range(rounds):
            for client, times in ((one_worker, alone), (two_workers, pair)):
                seconds, rows = timed(lambda: velta_morvane.dask.sweep(AXES, client))
                assert comparable(rows) == expected, "a Dask sweep differs from the sweep here"
                times.append(seconds)
    report("16-point sweep through Dask", alone, pair, "LocalCluster, 1 worker process",
           "LocalCluster, 2 worker processes")
    print("  rows equal to velta_morvane.sweep's in order and values: yes")

    expected_runs = runs_on(1)
    one_thread, two_threads = [], []
    for _ in range(rounds):
        for threads, times in ((1, one_thread), (2, two_threads)):
            seconds, indices = timed(lambda: runs_on(threads))
            assert indices == expected_runs
            times.append(seconds)
    report(f"{THREAD_RUNS} runs from Python threads", one_thread, two_threads, "1 thread",
           "2 threads")
    print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
