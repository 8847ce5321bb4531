"""The engine's texts as typed NumPy columns and pandas frames."""

import numpy as np
import pandas as pd

from . import _engine

# pandas dtypes of the telemetry columns by the engine's kind of column.
_PANDAS_DTYPES = {"uint64": "UInt64", "float64": "float64", "bool": "boolean", "str": "string"}
_EVENT_SEPARATOR = "\t"
_UNKNOWN_SECONDS = "?"
EVENT_COLUMNS = ("time_s", "kind", "value")
TRIP_COLUMNS = ("start", "moments", "seconds", "cameras", "rows")


def _engine_columns(csv):
    return _engine.read_columns(csv.rstrip("\n"))


def clip_columns(csv):
    """Column name to NumPy array; masked where the type has no missing value."""
    columns = {}
    for name, kind, values, missing in _engine_columns(csv):
        if kind == "str":
            missing = np.array([v is None for v in values], dtype=bool)
            values = np.array(values, dtype=object)
        columns[name] = values if missing is None else np.ma.MaskedArray(values, mask=missing)
    return columns


def _pandas_array(kind, values, missing):
    if kind == "uint64":
        return pd.arrays.IntegerArray(values, missing)
    if kind == "bool":
        return pd.arrays.BooleanArray(values, missing)
    if kind == "str":
        return pd.array(values, dtype="string")
    return values


def clip_frame(csv):
    """The 16 columns in CSV order, typed."""
    return pd.DataFrame(
        {name: _pandas_array(kind, values, missing)
         for name, kind, values, missing in _engine_columns(csv)})


def telemetry_dtypes():
    """The 16 columns' pandas dtypes in CSV order."""
    return {name: _PANDAS_DTYPES[kind] for name, kind, _, _ in _engine.read_columns("")}


def events_frame(lines):
    rows = [line.split(_EVENT_SEPARATOR) for line in lines.splitlines()]
    return pd.DataFrame(dict(zip(EVENT_COLUMNS, (
        np.array([float(r[0]) for r in rows], dtype="float64"),
        pd.array([r[1] for r in rows], dtype="string"),
        pd.array([r[2] for r in rows], dtype="string")))))


def trips_frame(trip_rows):
    fields = [f for _, f in trip_rows]
    return pd.DataFrame(dict(zip(TRIP_COLUMNS, (
        pd.array([f[0] for f in fields], dtype="string"),
        np.array([int(f[1]) for f in fields], dtype="int64"),
        np.array([np.nan if f[2] == _UNKNOWN_SECONDS else float(f[2]) for f in fields],
                 dtype="float64"),
        pd.array([f[3] for f in fields], dtype="string"),
        np.array([int(f[4]) for f in fields], dtype="int64")))))
