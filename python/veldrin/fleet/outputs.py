"""The fleet's files: each clip's results kept under DIR/.parts/, and the final CSV files
assembled from them, every file written to a temporary name and renamed."""

import hashlib
import json
import os

from .. import COLUMNS, _engine, _read_report, trip_rows

PARTS_FOLDER = ".parts"
TELEMETRY_FOLDER = "telemetry"
CLIPS_FILE = "clips.csv"
EVENTS_FILE = "events.csv"
TRIPS_FILE = "trips.csv"
TELEMETRY_PART = "part-{:05d}.csv"
TELEMETRY_PART_PREFIX = "part-"
# Largest telemetry part, unless one clip's rows alone are more.
MAX_PART_BYTES = 64 << 20
TEMPORARY_SUFFIX = ".tmp"

CLIPS_HEADER = ("clip", "bytes", "rows", "payload_decode_failures", "sei_decode_failures",
                "status", "message")
EVENTS_HEADER = ("clip", "time_s", "kind", "value")
TRIPS_HEADER = ("folder", "start", "moments", "seconds", "cameras", "rows")
TELEMETRY_HEADER = ("clip",) + COLUMNS

OK, NO_TELEMETRY, ERROR = "ok", "no_telemetry", "error"
# File names need not be UTF-8: their bytes go out as they came in.
ENCODING_ERRORS = "surrogateescape"
_NEEDS_QUOTES = (",", '"', "\n", "\r")


def field(value):
    """One CSV field as RFC 4180 writes it: quoted only when it must be."""
    text = "" if value is None else str(value)
    if any(c in text for c in _NEEDS_QUOTES):
        return '"' + text.replace('"', '""') + '"'
    return text


def line(values):
    return ",".join(field(v) for v in values) + "\n"


def failed_result(message, size=None):
    """The result of a clip that gave no report: its size when known, no rows, its message."""
    return {"status": ERROR, "message": message, "bytes": size, "rows": 0, "payload": None,
            "sei": None, "telemetry": "", "events": "", "duration": None, "trip_rows": 0}


def clip_result(path):
    """Everything the outputs need of one clip, from the engine."""
    ok, csv, rows, _, report, message, duration = _engine.extract_path(os.fsencode(path))
    if not ok:
        try:
            size = os.stat(path).st_size
        except OSError:
            size = None
        return dict(failed_result(message, size), duration=duration)
    result = failed_result("")
    values = _read_report(report)
    result.update(duration=duration, bytes=values["file_bytes"], rows=0,
                  payload=values["payload_decode_failures"],
                  sei=values["sei_decode_failures"], status=NO_TELEMETRY)
    if not csv:
        return result
    prefix = field(path) + ","
    body = csv[csv.index("\n") + 1:-1]
    events = _engine.event_lines(csv[:-1], duration)
    result.update(status=OK, rows=rows, trip_rows=rows,
                  telemetry=prefix + body.replace("\n", "\n" + prefix) + "\n",
                  events="".join(prefix + l.replace("\t", ",") + "\n"
                                 for l in events.splitlines()))
    return result


def write_atomically(path, data, sync=True):
    temporary = path + TEMPORARY_SUFFIX
    with open(temporary, "wb") as out:
        out.write(data)
        if sync:
            out.flush()
            os.fsync(out.fileno())
    os.replace(temporary, path)


class PartStore:
    """One file per clip done, named by its path, size and modification time, so that a clip
    changed since is done again."""

    def __init__(self, out_dir):
        self.folder = os.path.join(out_dir, PARTS_FOLDER)
        os.makedirs(self.folder, exist_ok=True)
        self.present = set()
        for name in os.listdir(self.folder):
            if name.endswith(TEMPORARY_SUFFIX):  # left by a run that was killed
                os.remove(os.path.join(self.folder, name))
            else:
                self.present.add(name)

    @staticmethod
    def _stem(path):
        return hashlib.sha1(os.fsencode(path)).hexdigest()

    @staticmethod
    def identity(path):
        stat = os.stat(path)
        return stat.st_size, stat.st_mtime_ns

    def name(self, path, identity):
        return "{}-{}-{}.json".format(self._stem(path), *identity)

    def has(self, path, identity):
        return self.name(path, identity) in self.present

    def put(self, path, identity, result):
        name = self.name(path, identity)
        # A rename makes it whole or absent; a crash loses at most work to redo.
        write_atomically(os.path.join(self.folder, name),
                         json.dumps({"clip": path, "result": result}).encode(), sync=False)
        stem = self._stem(path)
        for stale in [p for p in self.present if p.startswith(stem) and p != name]:
            os.remove(os.path.join(self.folder, stale))
            self.present.discard(stale)
        self.present.add(name)

    def get(self, path, identity):
        with open(os.path.join(self.folder, self.name(path, identity)), "rb") as part:
            return json.loads(part.read())["result"]


class _TelemetryParts:
    def __init__(self, out_dir):
        self.folder = os.path.join(out_dir, TELEMETRY_FOLDER)
        os.makedirs(self.folder, exist_ok=True)
        self.header = line(TELEMETRY_HEADER).encode()
        self.written = []
        self.pending = None

    def add(self, rows_text):
        data = rows_text.encode(errors=ENCODING_ERRORS)
        if self.pending is not None and len(self.pending) + len(data) > MAX_PART_BYTES:
            self._flush()
        if self.pending is None:
            self.pending = bytearray(self.header)
        self.pending += data

    def _flush(self):
        path = os.path.join(self.folder, TELEMETRY_PART.format(len(self.written)))
        write_atomically(path, bytes(self.pending))
        self.written.append(os.path.basename(path))
        self.pending = None

    def finish(self):
        # A fleet without rows still has one part, its header, for readers of part-*.csv.
        if self.pending is not None or not self.written:
            self.pending = self.pending or bytearray(self.header)
            self._flush()
        for name in os.listdir(self.folder):
            if name.startswith(TELEMETRY_PART_PREFIX) and name not in self.written:
                os.remove(os.path.join(self.folder, name))


def clip_line(path, result):
    return line((path, result["bytes"], result["rows"], result["payload"], result["sei"],
                 result["status"], result["message"]))


def assemble(out_dir, clips, results):
    """Writes the final files. `clips` in natural order; `results(path)` gives a clip's result.
    Returns the rows and the failures (path, message) in order."""
    clip_lines, event_lines, facts = [line(CLIPS_HEADER)], [line(EVENTS_HEADER)], []
    telemetry = _TelemetryParts(out_dir)
    rows, failures = 0, []
    for path, problem in clips:
        result = failed_result(problem) if problem else results(path)
        clip_lines.append(clip_line(path, result))
        if result["status"] == ERROR:
            failures.append((path, result["message"]))
        rows += result["rows"]
        if problem:
            continue
        facts.append((path, result["duration"], result["trip_rows"]))
        if result["telemetry"]:
            telemetry.add(result["telemetry"])
        event_lines.append(result["events"])
    telemetry.finish()
    trip_lines = [line(TRIPS_HEADER)] + [line([folder] + fields)
                                         for folder, fields in trip_rows(facts)]
    for name, lines in ((CLIPS_FILE, clip_lines), (EVENTS_FILE, event_lines),
                        (TRIPS_FILE, trip_lines)):
        write_atomically(os.path.join(out_dir, name), "".join(lines).encode(errors=ENCODING_ERRORS))
    return rows, failures
