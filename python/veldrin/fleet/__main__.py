"""python3 -m veldrin.fleet ROOT... --out DIR [--scheduler ADDRESS | --workers N]
[--threads-per-worker T]"""

import argparse
import os
import sys

# Dask's own notices (worker folders purged, connections) would drown the run's lines; the
# workers of a local cluster inherit this.
os.environ.setdefault("DASK_LOGGING__DISTRIBUTED", "error")

from .run import EXIT_FAILURE, PROGRAM, error_line, run  # noqa: E402  (after the level is set)

CANNOT_RUN = "cannot run: {}"


def _positive(text):
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError("needs a whole number from 1")
    return value


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog=PROGRAM,
        description="Extracts the telemetry of every clip under the ROOTs on a Dask cluster "
                    "into clips.csv, telemetry/part-NNNNN.csv, events.csv and trips.csv.")
    parser.add_argument("roots", nargs="+", metavar="ROOT", help="a clip or a folder of clips")
    parser.add_argument("--out", required=True, metavar="DIR", help="the output folder")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--scheduler", metavar="ADDRESS", help="a running Dask scheduler")
    where.add_argument("--workers", type=_positive, metavar="N",
                       help="a local cluster of N worker processes (default: one per core)")
    parser.add_argument("--threads-per-worker", type=_positive, metavar="T",
                        help="threads of each local worker (default: 1; a scheduler's workers "
                             "have their own)")
    args = parser.parse_args(argv)
    try:
        return run(args.roots, args.out, args.scheduler, args.workers,
                   args.threads_per_worker).exit_status
    except OSError as error:  # the output folder, or a scheduler out of reach
        sys.stderr.write(error_line(args.scheduler or args.out, CANNOT_RUN.format(error)))
        return EXIT_FAILURE


if __name__ == "__main__":
    sys.exit(main())
