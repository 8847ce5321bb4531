// veldrin-clipgen: writes real dashcam-like MP4 clips (H.264 pictures, one telemetry SEI
// unit per frame) for tests, the demo and benchmarks, with options to reproduce what real
// clips get wrong. A development tool: never linked into the application.
#include "ClipWriter.h"
#include "CsvRecords.h"
#include "DriveSimulation.h"
#include "SeiPacker.h"
#include "TelemetryRecord.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::int64_t kDefaultFrames = 90;
constexpr std::int64_t kMaxFrames = 10'000'000;
constexpr int kMaxDimension = 8192;
constexpr double kMaxFps = 1000.0;
constexpr int kDefaultMoments = 3;
constexpr int kMaxMoments = 10'000;
constexpr double kDefaultMomentSeconds = 60.0;
constexpr const char* kDefaultCamera = "front";
constexpr const char* kDefaultTripStart = "2025-06-01_07-00-00";
// Longer than any moment plus the slack that joins moments into one trip.
constexpr int kTripGapSeconds = 600;

constexpr const char* kUsage = R"(Usage: veldrin-clipgen [options] OUTPUT.mp4
       veldrin-clipgen [options] --trip DIR [trip options]

Writes an MP4 clip with H.264 video (libx264) and one telemetry SEI unit per frame.

Length and picture:
  --frames N          number of frames (default 90)
  --duration SECONDS  length in seconds instead of --frames
  --fps F             frame rate (default 30)
  --size WxH          picture size, even numbers (default 320x240)
  --bitrate KBPS      target bitrate (default: constant quality)
  --seed S            seed of the simulated drive and the picture noise (default 1)
  --faststart         put the moov atom before the media data
  --fast              encode a few frames and repeat their packets (quick large clips)
  --frame-numbers     each picture shows its frame number in 16 black or white blocks
                      across the middle, the lowest bit leftmost

Telemetry:
  --from-csv FILE     one record per data line of a telemetry CSV (replaces the drive;
                      the number of frames is the number of data lines)
  --no-telemetry      write no telemetry SEI units

A trip, instead of OUTPUT.mp4:
  --trip DIR          write a drive into DIR in moments of one clip per camera, named
                      YYYY-MM-DD_HH-MM-SS-CAMERA.mp4; route, speed and frame_seq_no carry on
  --moments N         number of moments (default 3)
  --seconds S         seconds per moment (default 60)
  --cameras LIST      comma-separated camera names (default front)
  --telemetry-cameras LIST  cameras that carry telemetry (default front)
  --start TIME        the first moment's YYYY-MM-DD_HH-MM-SS (default 2025-06-01_07-00-00)
  --gap-after K       a pause after the K-th moment, long enough to start a second trip

Faults, each on every K-th frame:
  --bad-marker K      telemetry unit without its 0x42..0x69 marker
  --bad-record K      record that does not decode (a field of wire type 3)
  --no-seq K          record without frame_seq_no
  --other-sei K       add SEI units of payload types 4 and 6
)";

struct Options {
    clipgen::VideoSettings video;
    std::optional<std::int64_t> frames;
    std::optional<double> duration;
    std::string fromCsv;
    bool noTelemetry = false;
    std::int64_t badMarker = 0, badRecord = 0, noSeq = 0, otherSei = 0;
    std::string output;
    bool trip = false;
    int moments = kDefaultMoments;
    double momentSeconds = kDefaultMomentSeconds;
    std::vector<std::string> cameras{kDefaultCamera};
    std::vector<std::string> telemetryCameras{kDefaultCamera};
    std::string tripStart = kDefaultTripStart;
    int gapAfter = 0;
};

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> items;
    while (!text.empty()) {
        const auto comma = text.find(',');
        if (comma != 0)
            items.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return items;
}

// "YYYY-MM-DD_HH-MM-SS" as calendar arithmetic, free of any time zone.
std::optional<std::time_t> parseTripStart(const std::string& text) {
    std::tm time{};
    char rest = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d_%2d-%2d-%2d%c", &time.tm_year, &time.tm_mon,
                    &time.tm_mday, &time.tm_hour, &time.tm_min, &time.tm_sec, &rest) != 6)
        return std::nullopt;
    time.tm_year -= 1900;
    time.tm_mon -= 1;
    return timegm(&time);
}

std::string formatTripStart(std::time_t seconds) {
    std::tm time{};
    gmtime_r(&seconds, &time);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &time);
    return text;
}

template <typename T> bool parseNumber(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    return x != std::string_view::npos && parseNumber(text.substr(0, x), width) &&
           parseNumber(text.substr(x + 1), height) && width > 0 && height > 0 && width % 2 == 0 &&
           height % 2 == 0 && width <= kMaxDimension && height <= kMaxDimension;
}

// Returns an error text, empty when the command line is valid.
std::string parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        auto every = [&](std::int64_t& k) {
            std::string_view v;
            return value(v) && parseNumber(v, k) && k > 0;
        };
        std::string_view v;
        bool ok = true;
        if (arg == "--frames") {
            std::int64_t n = 0;
            ok = value(v) && parseNumber(v, n) && n >= 0 && n <= kMaxFrames;
            o.frames = n;
        } else if (arg == "--duration") {
            double d = 0;
            ok = value(v) && parseNumber(v, d) && d >= 0;
            o.duration = d;
        } else if (arg == "--fps") {
            ok = value(v) && parseNumber(v, o.video.fps) && o.video.fps > 0 &&
                 o.video.fps <= kMaxFps;
        } else if (arg == "--size") {
            ok = value(v) && parseSize(v, o.video.width, o.video.height);
        } else if (arg == "--bitrate") {
            ok = value(v) && parseNumber(v, o.video.bitrateKbps) && o.video.bitrateKbps > 0;
        } else if (arg == "--seed") {
            ok = value(v) && parseNumber(v, o.video.seed);
        } else if (arg == "--faststart") {
            o.video.faststart = true;
        } else if (arg == "--fast") {
            o.video.fast = true;
        } else if (arg == "--frame-numbers") {
            o.video.frameNumbers = true;
        } else if (arg == "--from-csv") {
            ok = value(v);
            o.fromCsv = v;
        } else if (arg == "--no-telemetry") {
            o.noTelemetry = true;
        } else if (arg == "--bad-marker") {
            ok = every(o.badMarker);
        } else if (arg == "--bad-record") {
            ok = every(o.badRecord);
        } else if (arg == "--no-seq") {
            ok = every(o.noSeq);
        } else if (arg == "--other-sei") {
            ok = every(o.otherSei);
        } else if (arg == "--trip") {
            o.trip = true;
            ok = value(v) && o.output.empty();
            o.output = v;
        } else if (arg == "--moments") {
            ok = value(v) && parseNumber(v, o.moments) && o.moments > 0 && o.moments <= kMaxMoments;
        } else if (arg == "--seconds") {
            ok = value(v) && parseNumber(v, o.momentSeconds) && o.momentSeconds > 0;
        } else if (arg == "--cameras") {
            ok = value(v) && !(o.cameras = splitList(v)).empty();
        } else if (arg == "--telemetry-cameras") {
            ok = value(v);
            o.telemetryCameras = splitList(v);
        } else if (arg == "--start") {
            ok = value(v) && parseTripStart(std::string(v));
            o.tripStart = v;
        } else if (arg == "--gap-after") {
            ok = value(v) && parseNumber(v, o.gapAfter) && o.gapAfter > 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option " + std::string(arg);
        } else if (o.output.empty()) {
            o.output = arg;
        } else {
            return "more than one output file";
        }
        if (!ok)
            return "missing or invalid value for " + std::string(arg);
    }
    if (o.output.empty())
        return "no output file";
    if (o.frames && o.duration)
        return "--frames and --duration exclude each other";
    if (o.video.fast && o.video.frameNumbers)
        return "--fast repeats pictures: it goes without --frame-numbers";
    if (o.duration && std::llround(*o.duration * o.video.fps) > kMaxFrames)
        return "--duration too long";
    return {};
}

bool hits(std::int64_t every, std::int64_t frame) {
    return every > 0 && (frame + 1) % every == 0;
}

std::vector<clipgen::NalUnit> seiUnitsForFrame(const Options& o, std::int64_t frame,
                                               const clipgen::TelemetryRecord* record) {
    std::vector<clipgen::NalUnit> units;
    if (hits(o.otherSei, frame)) {
        units.push_back(clipgen::makeRegisteredUserDataSei());
        units.push_back(clipgen::makeRecoveryPointSei());
    }
    if (record) {
        clipgen::TelemetryRecord sent = *record;
        if (hits(o.noSeq, frame))
            sent.values[clipgen::kFrameSeqNo].reset();
        std::vector<std::uint8_t> bytes = clipgen::encodeRecord(sent);
        if (hits(o.badRecord, frame))
            clipgen::appendUndecodableField(bytes);
        units.push_back(clipgen::makeTelemetrySei(bytes, !hits(o.badMarker, frame)));
    }
    return units;
}

// Writes `frames` frames, with `records[first + frame]` as each frame's telemetry when given.
int writeClip(const Options& o, const std::string& path, std::int64_t frames,
              const std::vector<clipgen::TelemetryRecord>* records, std::int64_t first = 0) {
    clipgen::ClipWriter writer(o.video);
    bool ok = writer.open(path);
    for (std::int64_t frame = 0; ok && frame < frames; ++frame) {
        const clipgen::TelemetryRecord* record =
            records ? &(*records)[static_cast<std::size_t>(first + frame)] : nullptr;
        ok = writer.addFrame(frame, seiUnitsForFrame(o, frame, record));
    }
    if (ok)
        ok = writer.finish();
    if (!ok) {
        std::cerr << "veldrin-clipgen: " << path << ": " << writer.error() << "\n";
        std::remove(path.c_str());
        return kExitFailure;
    }
    std::cout << path << ": " << frames << " frames\n";
    return 0;
}

// One drive cut into moments; every camera records each moment, and the drive carries on.
int runTrip(Options o) {
    const std::int64_t framesPerMoment = std::llround(o.momentSeconds * o.video.fps);
    const auto records =
        clipgen::simulateDrive(framesPerMoment * o.moments, o.video.fps, o.video.seed);
    std::error_code error;
    std::filesystem::create_directories(o.output, error);
    std::time_t start = *parseTripStart(o.tripStart);
    const std::uint64_t baseSeed = o.video.seed;
    for (int moment = 0; moment < o.moments; ++moment) {
        const std::string startText = formatTripStart(start);
        for (std::size_t camera = 0; camera < o.cameras.size(); ++camera) {
            const std::string& name = o.cameras[camera];
            const bool telemetry = std::find(o.telemetryCameras.begin(), o.telemetryCameras.end(),
                                             name) != o.telemetryCameras.end();
            // Each camera sees its own picture.
            o.video.seed = baseSeed + camera;
            const std::string path = o.output + "/" + startText + "-" + name + ".mp4";
            if (const int status =
                    writeClip(o, path, framesPerMoment, telemetry ? &records : nullptr,
                              framesPerMoment * moment))
                return status;
        }
        start += static_cast<std::time_t>(std::llround(o.momentSeconds));
        if (moment + 1 == o.gapAfter)
            start += kTripGapSeconds;
    }
    return 0;
}

int run(const Options& o) {
    if (o.trip)
        return runTrip(o);
    std::vector<clipgen::TelemetryRecord> records;
    std::int64_t frames = o.frames.value_or(kDefaultFrames);
    if (o.duration)
        frames = std::llround(*o.duration * o.video.fps);
    if (!o.fromCsv.empty()) {
        std::ifstream in(o.fromCsv, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            std::cerr << "veldrin-clipgen: cannot read " << o.fromCsv << "\n";
            return kExitFailure;
        }
        clipgen::CsvParseResult parsed = clipgen::parseTelemetryCsv(text.str());
        if (!parsed.error.empty()) {
            std::cerr << "veldrin-clipgen: " << o.fromCsv << ": " << parsed.error << "\n";
            return kExitFailure;
        }
        records = std::move(parsed.records);
        frames = static_cast<std::int64_t>(records.size());
    } else if (!o.noTelemetry) {
        records = clipgen::simulateDrive(frames, o.video.fps, o.video.seed);
    }

    return writeClip(o, o.output, frames, o.noTelemetry ? nullptr : &records);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help") {
            std::cout << kUsage;
            return 0;
        }
    }
    Options options;
    if (const std::string error = parseOptions(argc, argv, options); !error.empty()) {
        std::cerr << "veldrin-clipgen: " << error << "\n" << kUsage;
        return kExitUsage;
    }
    av_log_set_level(AV_LOG_ERROR);
    return run(options);
}
