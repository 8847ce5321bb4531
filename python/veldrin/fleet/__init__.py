"""Fleets of clips on Dask: read_clips() as a dask DataFrame, and run() (python3 -m
veldrin.fleet) writing a folder's tables."""

import numpy as np
import pandas as pd

from .. import ExtractError, extract, find_clips
from .._tables import clip_frame, telemetry_dtypes
from .run import run

__all__ = ["read_clips", "clips_meta", "run"]

ON_ERROR = ("raise", "skip")


def clips_meta():
    """The empty frame read_clips gives: clip, row (from 0 in each clip), the 16 columns."""
    frame = pd.DataFrame({"clip": pd.array([], dtype="string"),
                          "row": np.array([], dtype="int64")})
    for name, dtype in telemetry_dtypes().items():
        frame[name] = pd.Series([], dtype=dtype)
    return frame


def _clip_partition(path, on_error):
    try:
        clip = extract(path)
    except (ExtractError, OSError):
        if on_error == "raise":
            raise
        return clips_meta()
    frame = clip_frame(clip.csv)
    frame.insert(0, "row", np.arange(len(frame), dtype="int64"))
    frame.insert(0, "clip", pd.array([path] * len(frame), dtype="string"))
    return frame


def read_clips(paths, on_error="raise"):
    """One partition per clip. `paths`: clips, or folders walked as veldrin-extract -d walks
    them. on_error "skip" gives a clip the engine fails on no rows instead of raising."""
    import dask.dataframe as dd
    if on_error not in ON_ERROR:
        raise ValueError(f"on_error must be one of {ON_ERROR}")
    paths = [paths] if isinstance(paths, str) else [str(p) for p in paths]
    clips = [p for p, problem, is_clip in find_clips(paths) if is_clip]
    return dd.from_map(_clip_partition, clips, on_error=on_error, meta=clips_meta(),
                       label="veldrin-clips", enforce_metadata=False)
