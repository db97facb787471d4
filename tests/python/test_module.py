"""The Python module against the runner beside it: the same runs sample for sample, the same
sweeps, the same files byte for byte and the same refusals."""

import csv
import io
import json
import os
import pathlib
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import velta_morvane as vm


def cli(*args):
    return subprocess.run([os.environ["VELTA_MORVANE_CLI"], *args], capture_output=True, text=True)


def settings_args(settings):
    return [a for name, value in settings.items() for a in (
        ("--global", f"{name[7:]}={value}") if name.startswith("global.") else
        ("--set", f"{name}={value}"))]


def bits(values):
    return np.asarray(values, dtype=np.float32).view(np.uint32)


def comparable(rows):  # NaN equals nothing, itself included
    return [{k: "nan" if isinstance(v, float) and np.isnan(v) else v for k, v in row.items()}
            for row in rows]


def same_value(key, got, want):
    """A stored index is single precision, printed with 9 digits; any other number a double in
    its shortest text; an empty one is NaN here and null or empty there."""
    if want is None or want == "":
        return isinstance(got, float) and np.isnan(got)
    if key in vm.STORED_INDICES:
        return bits(got) == bits(np.float32(want))
    return got == want if isinstance(got, str) else got == float(want)


@pytest.mark.parametrize("settings, patient, runs", [
    ({}, None, 1),
    ({"rIntermediate": 300}, "female,40,165", 1),
    ({"left.cm": 80, "lobe3.ccc": 150}, None, 2),
    ({"global.0": 80, "rPeripheral": 200, "right.rCentral": 50}, ("male", 70, 180), 1),
    ({"lungSize": 10}, "male,20,190", 2),  # a test that does not end valid
])
def test_run_equals_the_runners_json_bit_for_bit(settings, patient, runs):
    text = patient if isinstance(patient, str) else ",".join(map(str, patient or ()))
    printed = cli("run", "--json", "--runs", str(runs), *settings_args(settings),
                  *(["--patient", text] if patient else []))
    expected = json.loads(printed.stdout.splitlines()[-1])
    result = vm.run(settings, runs=runs, patient=patient)
    keys = [k for k in expected if k not in ("run", "fvSamples", "vtSamples", "emptyIndices",
                                             "patient", "predicted")]
    assert list(result.indices) == keys and keys[:len(vm.STORED_INDICES)] == list(vm.STORED_INDICES)
    for key in keys:
        assert same_value(key, result[key], expected[key]), key
    assert result.empty_indices == expected["emptyIndices"]
    assert result.patient == expected.get("patient")
    assert result.predicted == expected.get("predicted")
    fv, vt = (np.array(expected[k], np.float32).reshape(-1, 2) for k in ("fvSamples", "vtSamples"))
    for got, want in [(result.fv_volume, fv[:, 0]), (result.fv_flow, fv[:, 1]),
                      (result.vt_time, vt[:, 0]), (result.vt_volume, vt[:, 1])]:
        assert got.dtype == np.float32 and np.array_equal(bits(got), bits(want))
    assert result.status == {1.0: "valid", 0.0: "dead"}.get(result["runStatus"], "error")
    assert all(result.settings[name] == value for name, value in settings.items())


@pytest.mark.parametrize("args, kwargs", [  # the runner's options and the same in Python
    (["--set", "bogus=100"], {"settings": {"bogus": 100}}),
    (["--set", "lobe9.cm=100"], {"settings": {"lobe9.cm": 100}}),
    (["--set", "cm=5"], {"settings": {"cm": 5}}),
    (["--set", "cm=abc"], {"settings": {"cm": "abc"}}),
    (["--set", "cm=nan"], {"settings": {"cm": float("nan")}}),
    (["--global", "20=100"], {"settings": {"global.20": 100}}),
    (["--global", "x=100"], {"settings": {"global.x": 100}}),
    (["--runs", "0"], {"runs": 0}),
    (["--patient", "female,2,165"], {"patient": ("female", 2, 165)}),
    (["--patient", "child,40,165"], {"patient": "child,40,165"}),
])
def test_a_bad_setting_raises_value_error_with_the_runners_words(args, kwargs):
    refused = cli("run", *args)
    assert refused.returncode == 2
    with pytest.raises(ValueError) as raised:
        vm.run(**kwargs)
    # The runner names its option where the module names the argument or setting.
    assert refused.stderr.splitlines()[0].endswith(str(raised.value))


def test_bad_files_raise_os_error_with_the_runners_message(tmp_path):
    missing, short = tmp_path / "missing.spi", tmp_path / "short.spi"
    short.write_bytes(b"\0" * 1000)
    # A program folder with the standard reference but without the reference equations.
    lone = tmp_path / "lone"
    (lone / "datfiles1").mkdir(parents=True)
    (lone / "datfiles1" / "standard.dat").write_bytes(
        (pathlib.Path(vm.program_folder()) / "datfiles1" / "standard.dat").read_bytes())
    for call in [lambda: vm.open(missing), lambda: vm.open(short), lambda: vm.run(from_file=short),
                 lambda: vm.sweep(["cm=100"], reference=missing),
                 lambda: vm.standard().save(tmp_path / "no-such-folder" / "x.spi"),
                 lambda: vm.standard(program_folder=tmp_path),
                 lambda: vm.sweep(["cm=100"], patient="female,40,165", program_folder=lone)]:
        with pytest.raises(OSError, match="^cannot (read|write)"):
            call()
    with pytest.raises(OSError) as raised:
        vm.run(reference=missing)
    assert cli("run", "--reference", str(missing)).stderr.strip() == \
        "velta-morvane-cli: " + str(raised.value)


@pytest.mark.parametrize("call", [
    lambda path: vm.open(path), lambda path: vm.standard().save(path),
    lambda path: vm.run(reference=path), lambda path: vm.run(from_file=path),
    lambda path: vm.sweep(["cm=100"], from_file=path), lambda path: vm.standard(program_folder=path),
])
def test_a_path_with_a_nul_byte_raises_value_error_as_open_does(tmp_path, call):
    vm.standard().save(tmp_path / "base.spi")
    (tmp_path / "out").mkdir()
    for path in [f"{tmp_path}/base.spi\0junk", f"{tmp_path}/out/save\0junk.spi",
                 os.fsencode(tmp_path) + b"\0junk"]:
        with pytest.raises(ValueError, match="embedded null byte"):
            call(path)
    assert os.listdir(tmp_path / "out") == []


def test_paths_take_surrogate_escapes_bytes_and_path_likes(tmp_path):
    result, folder = vm.run({"cm": 90}), os.fsencode(tmp_path)
    paths = [os.fsdecode(folder + b"/\xff-str.spi"), folder + b"/\xfe-bytes.spi",
             pathlib.Path(os.fsdecode(folder + b"/\xfd-path.spi"))]
    for path in paths:
        result.save(path)
        assert vm.open(path).results[0].indices == result.indices
    assert sorted(os.listdir(folder)) == [b"\xfd-path.spi", b"\xfe-bytes.spi", b"\xff-str.spi"]


def test_ctrl_c_stops_a_run_of_many_tests_between_two_of_them():
    # 1000 tests take minutes; the interrupt must end them within a test or two.
    script = ("import sys, velta_morvane as vm\nprint('started', flush=True)\n"
              "vm.run(runs=1000)\nprint('finished')\n")
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "started\n"
        time.sleep(2)
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=60)
    finally:
        child.kill()
    assert "KeyboardInterrupt" in err and "finished" not in out


def test_saved_record_is_the_runners_and_opens_as_it_was(tmp_path):
    settings = {"rIntermediate": 250, "global.0": 90}
    cli("run", "--runs", "2", "--out", str(tmp_path / "runner.spi"), *settings_args(settings))
    result = vm.run(settings, runs=2)
    result.save(tmp_path / "module.spi")
    assert (tmp_path / "module.spi").read_bytes() == (tmp_path / "runner.spi").read_bytes()
    opened = vm.open(tmp_path / "module.spi")
    assert len(opened.results) == 2 and opened.results[0].indices == result.indices
    assert np.array_equal(bits(opened.results[0].fv_flow), bits(result.fv_flow))
    # A run from the file puts its result first and keeps the two before it.
    again = vm.run({"cm": 90}, from_file=tmp_path / "module.spi")
    assert [r.settings["cm"] for r in again.record.results] == [90, 100, 100]
    assert again.record.results[1].indices == result.indices
    # The standard reference is the run at every setting 100, and every run's reference.
    standard = vm.standard()
    assert set(standard.settings.values()) == {100.0}
    assert standard.indices == again.record.reference.indices == vm.run().indices


def test_lobe_traces_follow_the_lobe_whose_airways_are_narrowed():
    plain = vm.run(lobe_traces=True)
    narrowed = vm.run({"lobe3.rPeripheral": 400}, lobe_traces=True)
    assert vm.run().lobes is None
    for result in (plain, narrowed):
        for name, dtype in [("intermediate_resistance", np.float32), ("volume", np.float32),
                            ("peripheral_resistance", np.float32), ("flow_limited", np.bool_)]:
            # From sample 0, the state the forced expiration starts from.
            assert result.lobes[name].shape == (len(result.fv_volume) + 1, 5), name
            assert result.lobes[name].dtype == dtype, name
    ratio = narrowed.lobes["peripheral_resistance"][0] / plain.lobes["peripheral_resistance"][0]
    assert ratio[2] > 2 and np.all(np.abs(ratio[[0, 1, 3, 4]] - 1) < 0.5)
    # The lobe volumes add up to less than the lung volume, the central airways' share aside.
    assert np.all(plain.lobes["volume"][1:].sum(axis=1) < plain.fv_volume)


def test_sweep_rows_are_the_runners_csv_in_the_grids_order():
    axes, patient = ["rIntermediate=100:400:x2", "global.0=80,100"], "male,50,175"
    printed = cli("sweep", "--jobs", "2", "--set", "left.cm=90", "--patient", patient,
                  *[a for axis in axes for a in ("--sweep", axis)]).stdout
    table = list(csv.DictReader(io.StringIO(printed)))
    rows = vm.sweep(axes, jobs=2, settings={"left.cm": 90}, patient=patient)
    assert len(rows) == len(table) == 6
    for row, line in zip(rows, table):
        assert list(row) == list(line) and row["point"] == int(line["point"])
        assert all(same_value(key, row[key], text) for key, text in line.items() if key != "point")
    assert all(isinstance(row["pattern"], str) for row in rows if row["status"] == "valid")
    shard = vm.sweep(axes, jobs=1, settings={"left.cm": 90}, patient=patient, shard=(2, 4))
    assert comparable(shard) == comparable([rows[1], rows[5]])
    with pytest.raises(ValueError, match="--sweep: unknown setting 'bogus'"):
        vm.sweep(["bogus=50"])
    with pytest.raises(ValueError, match="jobs needs"):
        vm.sweep(["cm=50"], jobs=0)


@pytest.mark.parametrize("work", [vm.run, lambda program_folder: vm.sweep(
    ["cm=50,100"], jobs=1, program_folder=program_folder)])
def test_a_run_lets_other_python_threads_go_on(work):
    # With a switch interval this long a thread keeps the interpreter until it blocks or lets go,
    # so the counter moves during the work only if the work lets go. Looking at files lets go
    # too: the folder is found before.
    folder, counted, count = vm.program_folder(), {}, 0
    ready, stop = threading.Event(), threading.Event()

    def worker():
        counted["before"] = count
        ready.set()
        work(program_folder=folder)
        counted["after"] = count
        stop.set()

    interval = sys.getswitchinterval()
    sys.setswitchinterval(30)
    try:
        thread = threading.Thread(target=worker)
        thread.start()
        ready.wait()
        while not stop.wait(0.001):  # which lets go while it waits
            count += 1
        thread.join()
    finally:
        sys.setswitchinterval(interval)
    assert counted["after"] > counted["before"]
