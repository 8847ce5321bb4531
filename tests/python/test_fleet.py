import csv
import io
import os
import pathlib
import signal
import subprocess
import time

import pytest

from conftest import FLEET, copy_tree, generate, run_extract
from veldrin.fleet import outputs, read_clips, run

OUTPUT_FILES = ("clips.csv", "events.csv", "trips.csv", "telemetry")
# Nothing listens there: a run that has nothing left to do never connects.
NO_SCHEDULER = "tcp://127.0.0.1:9"
BULK_CLIPS = 96
POLL_S = 0.005
STARTUP_S = 60


def fleet(*args):
    return subprocess.run([FLEET, *args], capture_output=True, text=True)


def csv_line(*values):
    out = io.StringIO()
    csv.writer(out, lineterminator="\n").writerow(values)
    return out.getvalue()


def expected_outputs(root, scratch):
    """The fleet's files made from veldrin-extract's own output on the same folder."""
    batch = run_extract("--report", "-d", scratch, root)
    clips, rows, events, clip_of = [], [], [], {}
    for text in batch.stderr.splitlines()[:-1]:
        if text.startswith("veldrin-extract: "):
            path, message = text[len("veldrin-extract: "):].split(": ", 1)
            if path not in clip_of and "--salvage" not in message:
                clip_of[path] = [os.path.getsize(path) if os.path.exists(path) else "", 0, "",
                                 "", "error", message]
        elif ": " in text and not text.split(": ")[1].isdigit():
            path, what = text.rsplit(": ", 1)
            clip_of[path] = report = ["", 0, "", "", "ok" if what.endswith(" rows") else
                                      "no_telemetry", ""]
            report[1] = int(what.split()[0]) if report[4] == "ok" else 0
        else:
            label, value = text.split(": ")
            column = {"file_bytes": 0, "payload_decode_failures": 2, "sei_decode_failures": 3}
            if label in column:
                report[column[label]] = int(value)
    for path, values in clip_of.items():
        clips.append(csv_line(path, *values))
        if values[4] == "ok":
            name = os.path.splitext(os.path.basename(path))[0] + "_sei.csv"
            with open(os.path.join(scratch, name)) as f:
                rows += [csv_line(path)[:-1] + "," + r for r in f.read().splitlines(True)[1:]]
            events += [csv_line(path)[:-1] + "," + e.replace("\t", ",")
                       for e in run_extract("--events", path).stdout.splitlines(True)]
    folder_of = {os.path.basename(p).rsplit("-", 1)[0]: os.path.dirname(p) for p in clip_of}
    folder_of.update({os.path.basename(p): os.path.dirname(p) for p in clip_of})
    trips = [csv_line(folder_of[t.split("\t")[0]], *t.split("\t"))
             for t in run_extract("--trips", root).stdout.splitlines()]
    return batch.returncode, batch.stderr.splitlines()[-1].rsplit(",", 1)[0], {
        "clips.csv": "".join([csv_line(*outputs.CLIPS_HEADER)] + clips),
        "telemetry": "".join([csv_line(*outputs.TELEMETRY_HEADER)] + rows),
        "events.csv": "".join([csv_line(*outputs.EVENTS_HEADER)] + events),
        "trips.csv": "".join([csv_line(*outputs.TRIPS_HEADER)] + trips)}


def actual_outputs(out):
    def read(*path):
        return pathlib.Path(out, *path).read_text(errors="surrogateescape")
    files = {name: read(name) for name in OUTPUT_FILES[:3]}
    parts = sorted(os.listdir(os.path.join(out, "telemetry")))
    texts = [read("telemetry", part) for part in parts]
    header = csv_line(*outputs.TELEMETRY_HEADER)
    assert all(t.startswith(header) for t in texts)
    files["telemetry"] = header + "".join(t[len(header):] for t in texts)
    return files, texts


@pytest.fixture(scope="module")
def folders(clip_folder, tmp_path_factory):
    """The clips of every kind, and the same beside many copies of a longer clip."""
    base = tmp_path_factory.mktemp("fleet")
    bulk = os.path.join(base, "bulk")
    copy_tree(clip_folder, os.path.join(bulk, "kinds"))
    long_clip = generate(os.path.join(base, "long.mp4"), "--frames", "1500", "--size", "64x64",
                         "--fast")
    os.makedirs(os.path.join(bulk, "many"))
    for i in range(BULK_CLIPS):
        os.link(long_clip, os.path.join(bulk, "many", f"copy{i}.mp4"))
    return {root: expected_outputs(root, str(base / f"cli-{i}"))
            for i, root in enumerate((clip_folder, bulk))}


@pytest.fixture(scope="module")
def scheduler(tmp_path_factory):
    """A real scheduler and two worker processes on 127.0.0.1."""
    address_file = str(tmp_path_factory.mktemp("dask") / "scheduler.json")
    common = ["--no-dashboard"]
    processes = [subprocess.Popen(["dask", "scheduler", "--host", "127.0.0.1", "--port", "0",
                                   "--scheduler-file", address_file, *common],
                                  stderr=subprocess.DEVNULL)]
    processes += [subprocess.Popen(["dask", "worker", "--scheduler-file", address_file,
                                    "--host", "127.0.0.1", "--nthreads", "1", "--no-nanny",
                                    *common], stderr=subprocess.DEVNULL) for _ in range(2)]
    from distributed import Client
    deadline = time.monotonic() + STARTUP_S
    while not os.path.exists(address_file):
        assert time.monotonic() < deadline, "the scheduler did not start"
        time.sleep(POLL_S)
    with Client(scheduler_file=address_file, timeout=STARTUP_S) as client:
        client.wait_for_workers(2, timeout=STARTUP_S)
        address = client.scheduler.address
    yield address, processes
    for process in reversed(processes):
        process.kill()
        process.wait()


def check(out, expected, done):
    status, summary, files = expected
    assert done.returncode == status
    assert done.stderr.splitlines()[-1].startswith(summary + ",")
    assert actual_outputs(out)[0] == files


def test_local_cluster_matches_command_line_and_rerun_skips(folders, clip_folder, tmp_path):
    out = str(tmp_path / "out")
    check(out, folders[clip_folder], fleet(clip_folder, "--out", out, "--workers", "2"))
    check(out, folders[clip_folder], fleet(clip_folder, "--out", out, "--scheduler", NO_SCHEDULER))


def wait_for_parts(out, process):
    parts = os.path.join(out, outputs.PARTS_FOLDER)
    while not (os.path.isdir(parts) and os.listdir(parts)):
        assert process.poll() is None, "the run ended before any clip was done"
        time.sleep(POLL_S)
    assert process.poll() is None, "the run ended before it could be interrupted"


def test_scheduler_run_killed_and_rerun_ends_complete(folders, scheduler, tmp_path):
    root = next(r for r in folders if r.endswith("bulk"))
    out = str(tmp_path / "out")
    process = subprocess.Popen([FLEET, root, "--out", out, "--scheduler", scheduler[0]],
                               stderr=subprocess.DEVNULL)
    wait_for_parts(out, process)
    process.send_signal(signal.SIGKILL)
    process.wait()
    check(out, folders[root], fleet(root, "--out", out, "--scheduler", scheduler[0]))


def test_small_parts_keep_each_clip_whole(folders, clip_folder, scheduler, tmp_path,
                                          monkeypatch):
    monkeypatch.setattr(outputs, "MAX_PART_BYTES", 4096)
    out = str(tmp_path / "out")
    stats = run([clip_folder], out, scheduler=scheduler[0], log=io.StringIO())
    assert stats.exit_status == folders[clip_folder][0]
    files, parts = actual_outputs(out)
    assert files == folders[clip_folder][2] and len(parts) > 3
    clips_of = [{row.split(",")[0] for row in p.splitlines()[1:]} for p in parts]
    assert all(not (a & b) for a, b in zip(clips_of, clips_of[1:]))


def test_read_clips_gives_the_typed_rows(clip_folder, scheduler):
    from distributed import Client
    frame = read_clips([clip_folder], on_error="skip")
    with Client(scheduler[0]):
        top = frame.groupby("clip").vehicle_speed_mps.max().compute()
        whole = frame.compute()
    assert list(frame.dtypes.astype(str)) == list(whole.dtypes.astype(str))
    assert list(whole.columns[:3]) == ["clip", "row", "version"]
    assert len(whole) == sum(1 for _ in whole.itertuples()) > 0 and len(top) >= 5


def test_worker_killed_mid_run_still_complete(folders, scheduler, tmp_path):
    root = next(r for r in folders if r.endswith("bulk"))
    out = str(tmp_path / "out")
    process = subprocess.Popen([FLEET, root, "--out", out, "--scheduler", scheduler[0]],
                               stderr=subprocess.PIPE, text=True)
    wait_for_parts(out, process)
    scheduler[1][1].send_signal(signal.SIGKILL)
    _, stderr = process.communicate()
    check(out, folders[root], subprocess.CompletedProcess([], process.returncode, "", stderr))
