#include "Usage.h"

namespace extractcli {

const char* const kVersionLine = "veldrin-extract " VELDRIN_VERSION "\n";

const char* const kUsage =
    R"usage(Usage: veldrin-extract [--report] [--salvage] [--format F] [-o FILE] CLIP
       veldrin-extract [--report] --events CLIP
       veldrin-extract [--report] [--salvage] --manifest CLIP
       veldrin-extract [--report] [--salvage] --evidence OUTDIR CLIP
       veldrin-extract [--report] [--salvage] [--format F] [-j N] -d OUTDIR PATH...
       veldrin-extract [-j N] --trips PATH...
       veldrin-extract [-j N] [--trips] [--format F] -d OUTDIR --join-trips PATH...

Extracts the telemetry that a dashcam clip (MP4, H.264) carries in its SEI units.

One clip:
  The CSV text goes to standard output as extracted, ending with a line feed. When the
  clip carries no telemetry, the no-metadata notice goes there instead. On failure nothing
  goes to standard output. CLIP "-" reads the clip from standard input (at most 1 GiB).
  -o FILE     write the CSV to FILE instead, atomically (a temporary file in the same
              folder, flushed to disk, then renamed over FILE). FILE is replaced only when
              the clip carries telemetry; the notice then goes to standard error. FILE
              must not be the clip itself.

Driving events:
  --events    instead of the CSV, one line per event in time order: TIME (seconds, two
              decimals), KIND and VALUE, separated by tabs. Rows are spread evenly over
              the movie header's duration; a clip without one has no events.
                hard_brake, hard_accel  the speed's change over 0.25 s either side of a
                            row is at least 3 m/s² for 0.3 s; VALUE the most, in m/s²
                sharp_turn  linear_acceleration_mps2_y of at least 4 m/s² either way for
                            0.3 s; VALUE the most, in m/s²
                            Two such runs of one kind less than 1 s apart (from the last
                            row of one to the first of the next; turns only the same way)
                            are one event, at the first one, VALUE the most of both.
                assist_on, assist_off  navark_state leaves or reaches IDLE (empty counts
                            as IDLE); VALUE the state reached or left
                stop        below 0.3 m/s after at least 3 m/s; VALUE "-"
              Events at the same time come in that order. Without telemetry nothing goes
              to standard output and the notice to standard error.

Many clips:
  -d OUTDIR   extract every PATH: a clip, or a folder walked for files ending in ".mp4"
              in any letter case (hidden files and folders skipped), each folder's clips
              in natural order (clip2 before clip10, letter case aside). For each clip
              that carries telemetry, OUTDIR gets "<clip name without extension>_sei.csv".
              Standard error gets one line per clip, in that order: its rows, "no SEI
              metadata", or its failure; one line per folder that could not be read or
              holds no clip; then "N clips, R rows, F failed, S.S s".
  -j N        extract on N threads (default: one per core). However many, clips over
              64 MiB are read one at a time and at most 1 GiB of clips is held at once.

Trips (clips named YYYY-MM-DD_HH-MM-SS-CAMERA.mp4, recorded by several cameras in pieces):
  --trips     list the trips of the clips found as with -d, one line per trip: START,
              MOMENTS, SECONDS, CAMERAS, ROWS, separated by tabs. Clips of one folder with
              the same start are a moment; a moment joins the trip before it when it starts
              at most 10 s after that trip's last moment ends. A clip with another name is
              a trip of its own (CAMERAS "-"); a moment without a readable movie header
              stands alone (SECONDS "?"). Trips in byte order of START, ties by folder.
              A clip that cannot be extracted is listed with no rows and reported on
              standard error; a missing PATH or a folder without clips is reported only.
  --join-trips  with -d OUTDIR: one "START_trip.csv" per trip (then "START_trip_2.csv"
              for a second trip with the same START): "clip,trip_time_s," and the 16
              columns, rows of each moment's telemetry clip ("front" first) with their
              seconds since the trip's start. A trip none of whose clips could be
              extracted gets no file.

Formats (one clip, -d and --join-trips; csv when not given):
  --format F  csv (the default), gpx, geojson, kml or jsonl. With -d a clip's file is
              "<name>_sei.csv", "<name>.gpx", "<name>.geojson", "<name>.kml" or
              "<name>.jsonl"; a joined trip's is "START_trip" with the same extension,
              and is one route in trip time. Route files (gpx, geojson, kml) hold one point
              per row with a valid fix (latitude in [-90, 90], longitude in [-180, 180], not
              both 0), none where the position repeats the previous point's; coordinates in
              the shortest digits that read back the same, never with an exponent; a
              longitude of 180 as -180. The driving events (as --events) come as named
              points. Times are in UTC with milliseconds ("2026-03-14T06:15:00.250Z"),
              written when the clip name gives the start (read as local time) and the movie
              header the duration; rows are spread evenly over it.
                gpx      GPX 1.1: the events as wpt (name "KIND VALUE", type KIND), then one
                         trk with one trkseg; each trkpt has its time and a Garmin
                         TrackPointExtension v2 with speed (m/s) and course (degrees in
                         [0, 360)).
                geojson  a FeatureCollection: a LineString of [longitude, latitude] with
                         properties name, start, rows and points (a Point for one point,
                         nothing for none), then a Point per event (name, kind, t, time,
                         value).
                kml      KML 2.2: a Document with the route as a LineString Placemark (a
                         Point for one), then a Placemark per event.
                jsonl    one JSON object per row: "t" (seconds in the clip or trip, where the
                         duration is known), then the 16 fields as numbers (non-finite ones
                         as null; integers with every digit), true/false, or enumeration
                         texts; missing fields left out.

Evidence (one clip file):
  --manifest  instead of the CSV, the clip's manifest.json: the tool and its version, when it
              was made (UTC; SOURCE_DATE_EPOCH when set), the clip's name, bytes, SHA-256 (of
              the very bytes extracted) and media data, the report's counts, the first and
              last frame_seq_no, the start the clip's name gives ("YYYY-MM-DDTHH:MM:SS+HH:MM",
              local time) and the movie's seconds, null where unknown. Exit 3 without
              telemetry, the manifest printed all the same.
  --evidence OUTDIR  write OUTDIR/NAME_evidence/ with NAME_sei.csv, report.txt, route.gpx,
              manifest.json and SHA256SUMS (for "sha256sum -c") and print its path. Written
              into a temporary folder beside it, flushed, then renamed: a failure leaves
              nothing under that name, and an existing folder is never replaced. Without
              telemetry nothing is written (exit 3).

Options:
  --report    also write the seven-line diagnostic report to standard error
  --salvage   a clip cut short (its first "mdat" atom runs past the end of the file, as
              when the recording lost power) gives the rows of its complete video blocks
              instead of failing with "MP4 atom extends beyond file"; --report then adds an
              eighth line, "salvaged_bytes: N", the bytes from the media data's start to the
              end of the last complete block. Other clips extract as without it. With -d,
              every cut clip is salvaged. Not with trips.
  --version   show the program's version
  --help      show this text
  --          end of the options: what follows is a CLIP or PATH, even "-x"

Errors go to standard error as "veldrin-extract: PATH: MESSAGE": "No such file", "is a
folder (use -d to extract the clips in it)", or the extractor's message. "MP4 atom extends
beyond file" is followed by "the clip may be cut short: --salvage recovers its complete
rows" where --salvage was not given.
A terminal on standard error shows folder mode's progress.

Exit status:
  0  CSV extracted or events listed (folder mode: every clip and folder read)
  1  failure (folder and trips modes: a PATH is missing, a clip failed, a folder could not
     be read, or a PATH holds no clip)
  2  usage error, or -o FILE names the clip itself
  3  the clip carries no telemetry (one clip only; -o FILE is left untouched)
)usage";

} // namespace extractcli
