"""Real clips from the generator, and the command line to hold the module to."""

import os
import shutil
import struct
import subprocess
import time

import pytest

CLIPGEN = os.environ["VELDRIN_CLIPGEN"]
EXTRACT = os.environ["VELDRIN_EXTRACT"]
FLEET = os.environ["VELDRIN_FLEET"]
# Trips read clip names as local time; one zone for the module and the command line alike.
os.environ["TZ"] = "UTC"
time.tzset()

FTYP = b"\x00\x00\x00\x10ftypisom\x00\x00\x02\x00"
SEI_LIMIT = 1 << 20
BLOCKS_LIMIT = 2_000_000


def mdat(body):
    return struct.pack(">I", 8 + len(body)) + b"mdat" + body


# Files the engine fails on, each with another message.
BROKEN = {
    "empty.mp4": b"",
    "text.mp4": b"not a clip at all, only text" * 4,
    "nomdat.mp4": FTYP + b"\x00\x00\x00\x08free",
    "tinyatom.mp4": FTYP + b"\x00\x00\x00\x04free" + b"\x00" * 16,
    "extended.mp4": FTYP + b"\x00\x00\x00\x01mdat\x00\x00",
    "header.mp4": b"\x00\x00\x00\x0cftypisom" + mdat(b""),
    "blocksize.mp4": FTYP + mdat(b"\x00\x00\x00\xff" + bytes(8)),
    "bigsei.mp4": FTYP + mdat(struct.pack(">I", SEI_LIMIT + 1) + b"\x06\x05"
                              + bytes(SEI_LIMIT - 1)),
    "manyblocks.mp4": FTYP + mdat(bytes(4 * (BLOCKS_LIMIT + 1))),
}
GENERATED = {
    "drive.mp4": ["--frames", "60", "--bad-record", "7", "--other-sei", "5"],
    "silent.mp4": ["--frames", "5", "--no-telemetry"],
    "marker.mp4": ["--frames", "40", "--bad-marker", "3", "--faststart"],
    "sub/clip2.mp4": ["--frames", "30", "--seed", "2"],
    "sub/clip10.MP4": ["--frames", "30", "--seed", "10"],
    'odd, "name".mp4': ["--frames", "20", "--seed", "4"],
    os.fsdecode(b"caf\xe9.mp4"): ["--frames", "10", "--seed", "5"],  # not UTF-8
}
CLIP_NAMES = sorted(GENERATED) + sorted(BROKEN) + ["cut.mp4"]


def generate(path, *args):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run([CLIPGEN, *args, path], check=True, capture_output=True)
    return path


def run_extract(*args, stdin=None):
    done = subprocess.run([EXTRACT, *args], capture_output=True, input=stdin)
    return subprocess.CompletedProcess(done.args, done.returncode, os.fsdecode(done.stdout),
                                       os.fsdecode(done.stderr))


@pytest.fixture(scope="session")
def clip_folder(tmp_path_factory):
    """Clips of every kind: good, damaged, without telemetry, failing, a trip, a hidden one."""
    root = str(tmp_path_factory.mktemp("clips"))
    for name, args in GENERATED.items():
        generate(os.path.join(root, name), *args)
    for name, data in BROKEN.items():
        with open(os.path.join(root, name), "wb") as out:
            out.write(data)
    with open(os.path.join(root, "drive.mp4"), "rb") as whole:
        cut = whole.read()
    with open(os.path.join(root, "cut.mp4"), "wb") as out:
        out.write(cut[: len(cut) // 2])
    generate(os.path.join(root, ".hidden", "skipped.mp4"), "--frames", "5")
    generate(os.path.join(root, "trip"), "--moments", "3", "--seconds", "2", "--fps", "10",
             "--cameras", "front,back", "--gap-after", "2", "--fast", "--trip")
    return root


def copy_tree(source, target):
    shutil.copytree(source, target, copy_function=os.link)
