"""A fleet run: clips found as veldrin-extract -d finds them, extracted in batches on a Dask
cluster, each result kept as it arrives, the final files assembled at the end."""

import math
import os
import sys
import time
from dataclasses import dataclass, field as dataclass_field

from .. import find_clips
from . import outputs

PROGRAM = "veldrin-fleet"
EXIT_OK, EXIT_FAILURE = 0, 1
# Batches per worker thread: enough to spread the work, few enough that a task's overhead
# (about 2-3 ms) stays small against it.
BATCHES_PER_THREAD = 4
MAX_BATCH_CLIPS = 32
PROGRESS_LINE = "{}/{} clips, {:.1f} clips/s, {:.0f} s left"
SUMMARY_LINE = "{} clips, {} rows, {} failed, {:.1f} s\n"
CLEAR_LINE = "\r\033[K"
TASK_FAILED = "extraction task failed: {}"


@dataclass
class RunStats:
    clips: int = 0
    rows: int = 0
    failed: int = 0
    skipped: int = 0
    exit_status: int = EXIT_OK
    cluster_start_s: float = 0.0
    cluster_stop_s: float = 0.0
    total_s: float = 0.0
    problems: list = dataclass_field(default_factory=list)


def extract_batch(paths):
    """A task: the results of a batch of clips, in its order."""
    return [outputs.clip_result(path) for path in paths]


def error_line(path, message):
    return f"{PROGRAM}: {path}: {message}\n"


def _batches(paths, threads):
    wanted = math.ceil(len(paths) / max(1, threads * BATCHES_PER_THREAD))
    size = max(1, min(MAX_BATCH_CLIPS, wanted))
    return [paths[i:i + size] for i in range(0, len(paths), size)]


class _Progress:
    """Clips done of all, with the rate of this run's work (skipped clips and the cluster's
    start aside) and the time left at that rate."""

    def __init__(self, total, skipped, stream):
        self.total, self.done, self.stream = total, skipped, stream
        self.shown = stream.isatty()
        self.begin()

    def begin(self):
        self.start, self.done_before = time.monotonic(), self.done

    def advance(self, count):
        self.done += count
        if not self.shown:
            return
        rate = (self.done - self.done_before) / max(time.monotonic() - self.start, 1e-9)
        left = (self.total - self.done) / rate if rate else 0.0
        self.stream.write(CLEAR_LINE + PROGRESS_LINE.format(self.done, self.total, rate, left))
        self.stream.flush()

    def clear(self):
        if self.shown:
            self.stream.write(CLEAR_LINE)


def _client(scheduler, workers, threads_per_worker):
    from distributed import Client, LocalCluster
    if scheduler:
        return Client(scheduler), None
    cluster = LocalCluster(n_workers=workers or os.cpu_count(),
                           threads_per_worker=threads_per_worker or 1, processes=True,
                           dashboard_address=None)
    return Client(cluster), cluster


def _schedule(client, todo, store, identities, progress):
    """Runs the clips not done yet; keeps each result as it comes. Returns the task failures."""
    from distributed import as_completed
    threads = sum(client.nthreads().values())
    batches = _batches(todo, threads)
    futures = client.map(extract_batch, batches, pure=False)
    batch_of = {f.key: b for f, b in zip(futures, batches)}
    failures = {}
    for future in as_completed(futures):
        batch = batch_of[future.key]
        try:
            results = future.result()
        except Exception as error:  # a batch past its retries: its clips are not done
            message = TASK_FAILED.format(error)
            failures.update((path, message) for path in batch)
        else:
            for path, result in zip(batch, results):
                store.put(path, identities[path], result)
        future.release()
        progress.advance(len(batch))
    return failures


def run(roots, out_dir, scheduler=None, workers=None, threads_per_worker=None, log=sys.stderr):
    """Extracts every clip under `roots` into `out_dir`. Returns RunStats."""
    start = time.monotonic()
    stats = RunStats()
    found = find_clips(roots)
    clips = []  # (path, problem) in natural order
    for path, problem, is_clip in found:
        if is_clip:
            clips.append((path, problem))
        else:
            stats.problems.append((path, problem))
    os.makedirs(out_dir, exist_ok=True)
    store = outputs.PartStore(out_dir)
    identities, todo = {}, []
    for path, problem in clips:
        if problem:
            continue
        try:
            identities[path] = store.identity(path)
        except OSError:
            identities[path] = (0, 0)
        if not store.has(path, identities[path]):
            todo.append(path)
    stats.clips, stats.skipped = len(clips), len(clips) - len(todo)

    progress = _Progress(len(clips), stats.skipped, log)
    failures = {}
    if todo:
        cluster_start = time.monotonic()
        client, cluster = _client(scheduler, workers, threads_per_worker)
        stats.cluster_start_s = time.monotonic() - cluster_start
        progress.begin()
        try:
            failures = _schedule(client, todo, store, identities, progress)
        finally:
            stop = time.monotonic()
            client.close()
            if cluster is not None:
                cluster.close()
            stats.cluster_stop_s = time.monotonic() - stop
    progress.clear()

    def result_of(path):
        if path in failures:
            return outputs.failed_result(failures[path])
        return store.get(path, identities[path])

    stats.rows, failed = outputs.assemble(out_dir, clips, result_of)
    stats.failed = len(failed)
    for path, problem in failed + stats.problems:
        log.write(error_line(path, problem))
    stats.total_s = time.monotonic() - start
    log.write(SUMMARY_LINE.format(stats.clips, stats.rows, stats.failed, stats.total_s))
    log.flush()
    stats.exit_status = EXIT_FAILURE if stats.failed or stats.problems else EXIT_OK
    return stats
