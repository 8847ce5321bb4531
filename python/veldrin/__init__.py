"""The Veldrin extraction engine: dashcam telemetry from H.264 SEI units as text and tables."""

import errno
import os
from concurrent.futures import ThreadPoolExecutor

from . import _engine
from ._tables import clip_columns, clip_frame, events_frame, trips_frame

__version__ = _engine.VERSION
__all__ = ["Clip", "ExtractError", "extract", "events", "trips", "movie_duration", "__version__"]

COLUMNS = tuple(_engine.COLUMNS)
_REPORT_SEPARATOR = ": "


class ExtractError(Exception):
    """A clip the engine could not read; str() is the engine's message."""


class Clip:
    """One clip's extraction: its CSV text, report and tables."""

    def __init__(self, csv, rows, notice, report, duration):
        self.csv, self.rows, self.notice = csv, rows, notice or None
        self.report = _read_report(report)
        self.duration = duration

    @property
    def columns(self):
        return clip_columns(self.csv)

    def to_pandas(self):
        return clip_frame(self.csv)

    def __repr__(self):
        return f"<veldrin.Clip rows={self.rows}>"


def _read_report(report):
    values = {}
    for line in report.splitlines():
        label, _, value = line.partition(_REPORT_SEPARATOR)
        values[label] = int(value)
    return values


def _check_path(path):
    # What the command line says before the engine reads a clip path.
    if not os.path.exists(path):
        raise FileNotFoundError(errno.ENOENT, _engine.NO_SUCH_FILE, path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, _engine.IS_A_FOLDER, path)


def _read_file_object(source):
    # One byte over the engine's limit, so that the engine tells a clip that is too large.
    wanted = _engine.MAX_FILE_BYTES + 1
    chunks, held = [], 0
    while held < wanted:
        chunk = source.read(wanted - held)
        if not chunk:
            break
        chunks.append(chunk)
        held += len(chunk)
    return chunks[0] if len(chunks) == 1 else b"".join(chunks)


def _extract(source):
    if isinstance(source, (str, os.PathLike)):
        path = os.fsdecode(source)
        _check_path(path)
        return _engine.extract_path(os.fsencode(path))
    if hasattr(source, "read") and not isinstance(source, (bytes, bytearray, memoryview)):
        return _engine.extract_buffer(_read_file_object(source))
    return _engine.extract_buffer(source)


def extract(source):
    """Extracts a clip from a path, a bytes-like object or a binary file object."""
    ok, csv, rows, notice, report, message, duration = _extract(source)
    if not ok:
        raise ExtractError(message)
    return Clip(csv, rows, notice, report, duration)


def events(clip):
    """The driving events of a Clip (or of the clip at a path): time_s, kind, value."""
    if not isinstance(clip, Clip):
        clip = extract(clip)
    lines = _engine.event_lines(clip.csv.rstrip("\n"), clip.duration) if clip.csv else ""
    return events_frame(lines)


def movie_duration(path):
    """Seconds of the clip's movie header, or None."""
    return _engine.movie_duration(os.fsencode(path))


def _clip_facts(path):
    """(path, movie duration, rows) of one clip, for trips; a clip that fails has no rows."""
    _, _, rows, _, _, _, duration = _engine.extract_path(os.fsencode(path))
    return path, duration, rows


def trips(paths, workers=None):
    """The trips of the clips under a folder (or several paths) as --trips lists them."""
    paths = [paths] if isinstance(paths, (str, os.PathLike)) else list(paths)
    found = [p for p, problem, is_clip in find_clips(paths) if is_clip and not problem]
    with ThreadPoolExecutor(workers or os.cpu_count()) as pool:
        facts = list(pool.map(_clip_facts, found))
    return trips_frame(trip_rows(facts))


def find_clips(paths):
    """(path, problem, is_clip) for each clip, or folder with a problem, as -d finds them."""
    return [(os.fsdecode(p), problem, is_clip)
            for p, problem, is_clip in _engine.find_clips([os.fsencode(p) for p in paths])]


def trip_rows(facts):
    """Clips' (path, movie duration, rows) as trips: (folder, fields of the --trips line)."""
    return [(os.fsdecode(folder), [os.fsdecode(f) for f in fields]) for folder, fields in
            _engine.trip_rows([(os.fsencode(p), d, r) for p, d, r in facts])]
