// veldrin-render: a clip's video with its telemetry drawn in on every frame, or the overlay
// alone for editing. Written under a temporary name beside the output and renamed at the end,
// so an interrupted or failed render leaves nothing under the output's name.
#include "ClipOutcome.h"
#include "ClipRender.h"
#include "ClipSearch.h"
#include "FileIdentity.h"
#include "MbTilesReader.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"

#include <QGuiApplication>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using extractcli::kExitCsv;
using extractcli::kExitFailure;
using extractcli::kExitNoMetadata;
using extractcli::kExitUsage;

constexpr std::string_view kProgram = "veldrin-render";
constexpr const char* kVersionLine = "veldrin-render " VELDRIN_VERSION "\n";
constexpr const char* kPlatformVariable = "QT_QPA_PLATFORM";
constexpr const char* kPlatform = "offscreen";

constexpr const char* kUsage = R"usage(Usage: veldrin-render [options] CLIP -o OUT.mp4
       veldrin-render [options] CLIP --overlay-only OUT.mov

Draws a clip's telemetry on every frame of its video: speed, gear, pedals, brake, blinkers,
steering wheel, assistance, a G-meter, the clock, a mini map with the route and the car,
and the name of each driving event (as veldrin-extract --events finds them) for 2 s.

Output:
  -o FILE               H.264 (libx264, preset veryfast) in MP4 with the index at the
                        front; the clip's frame rate and frame timing, its audio copied
  --overlay-only FILE   the overlay alone on a transparent background, frame for frame
                        with the clip, in a MOV with an alpha channel
  --overlay-codec C     png (the default: PNG at compression level 1, fast) or prores
                        (ProRes 4444)
  The output is written under a temporary name beside it and renamed when complete; an
  existing file is replaced then.

Options:
  --from TIME           start at the first frame from TIME (seconds, or M:SS)
  --to TIME             end before the first frame from TIME; the overlay's clock and
                        events stay the clip's own
  --units U             kmh (the default) or mph
  --crf N               the H.264 quality, 0 (best) to 51 (default 20)
  --tiles FILE          a raster MBTiles file for the mini map's background (without it
                        the route is drawn on a plain background)
  --stages              also write the seconds spent decoding, drawing and encoding to
                        standard error
  --version             show the program's version
  --help                show this text

A terminal on standard error shows the progress and the time left.

Errors go to standard error as "veldrin-render: PATH: MESSAGE".

Exit status:
  0  rendered
  1  failure
  2  usage error, or the output names the clip itself
  3  the clip carries no telemetry (nothing is written)
)usage";

constexpr std::string_view kTryHelp = "Try 'veldrin-render --help' for more information.\n";
constexpr std::string_view kNeedsValue = "needs a value";
constexpr std::string_view kBadTime = "needs seconds or M:SS";
constexpr std::string_view kBadUnits = "needs kmh or mph";
constexpr std::string_view kBadCodec = "needs png or prores";
constexpr std::string_view kBadCrf = "needs a whole number from 0 to 51";
constexpr std::string_view kUnknownOption = "unknown option";
constexpr std::string_view kNoClip = "no clip given";
constexpr std::string_view kOneClip = "one clip at a time";
constexpr std::string_view kOneOutput = "give one of -o and --overlay-only";
constexpr std::string_view kEmptyRange = "--to must come after --from";
constexpr std::string_view kCodecWithoutOverlay = "--overlay-codec goes with --overlay-only";
constexpr std::string_view kOutputIsInput = "is the clip itself";
constexpr std::string_view kMapMissing = "No such file";
constexpr std::string_view kMapUnreadable = "cannot be read";
constexpr std::string_view kMapNotRaster = "not a raster MBTiles map";
constexpr const char* kTemporaryPattern = ".XXXXXX";
constexpr const char* kStagesFormat = "decode %.2f s, overlay %.2f s, encode %.2f s\n";
// The progress line is redrawn at most this often.
constexpr double kProgressSeconds = 0.25;
constexpr double kSecondsPerMinute = 60;

struct CommandLine {
    bool help = false;
    bool version = false;
    bool stages = false;
    std::string clip;
    std::string output;
    render::RenderRequest request;
    bool milesPerHour = false;
    std::string tiles;
    bool codecGiven = false;
};

struct UsageError {
    std::string subject;
    std::string_view message;
};

std::string errorLine(std::string_view path, std::string_view message) {
    std::string line(kProgram);
    line.append(": ").append(path).append(": ").append(message);
    return line.append(extractcli::lineEnd(message));
}

template <typename T> bool parseWhole(std::string_view text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Seconds ("12.5") or minutes and seconds ("1:05.5").
std::optional<double> parseTime(std::string_view text) {
    double minutes = 0, seconds = 0;
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        long long whole = 0;
        if (!parseWhole(text.substr(0, colon), whole) || whole < 0)
            return std::nullopt;
        minutes = static_cast<double>(whole);
        text.remove_prefix(colon + 1);
        if (text.size() < 2 || text[0] == '-' || text.find('.') < 2)
            return std::nullopt;
    }
    if (!parseWhole(text, seconds) || !(seconds >= 0) ||
        (minutes > 0 && seconds >= kSecondsPerMinute))
        return std::nullopt;
    return minutes * kSecondsPerMinute + seconds;
}

std::optional<UsageError> parse(int argc, char** argv, CommandLine& c) {
    bool overlayOnly = false, burned = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.empty() || arg[0] != '-') {
            if (!c.clip.empty())
                return UsageError{arg, kOneClip};
            c.clip = arg;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            c.help = true;
            continue;
        }
        if (arg == "--version") {
            c.version = true;
            continue;
        }
        if (arg == "--stages") {
            c.stages = true;
            continue;
        }
        const bool takesValue = arg == "-o" || arg == "--overlay-only" ||
                                arg == "--overlay-codec" || arg == "--from" || arg == "--to" ||
                                arg == "--units" || arg == "--crf" || arg == "--tiles";
        if (!takesValue)
            return UsageError{arg, kUnknownOption};
        if (i + 1 >= argc || argv[i + 1][0] == '\0')
            return UsageError{arg, kNeedsValue};
        const std::string_view value = argv[++i];
        if (arg == "-o" || arg == "--overlay-only") {
            if (!c.output.empty())
                return UsageError{{}, kOneOutput};
            c.output = value;
            (arg == "-o" ? burned : overlayOnly) = true;
        } else if (arg == "--overlay-codec") {
            if (value != "png" && value != "prores")
                return UsageError{arg, kBadCodec};
            c.request.kind =
                value == "png" ? render::OutputKind::OverlayPng : render::OutputKind::OverlayProRes;
            c.codecGiven = true;
        } else if (arg == "--from" || arg == "--to") {
            const auto time = parseTime(value);
            if (!time)
                return UsageError{arg, kBadTime};
            (arg == "--from" ? c.request.from : c.request.to) = time;
        } else if (arg == "--units") {
            if (value != "kmh" && value != "mph")
                return UsageError{arg, kBadUnits};
            c.milesPerHour = value == "mph";
        } else if (arg == "--crf") {
            if (!parseWhole(value, c.request.crf) || c.request.crf < 0 ||
                c.request.crf > render::kMaxCrf)
                return UsageError{arg, kBadCrf};
        } else {
            c.tiles = value;
        }
    }
    if (c.help || c.version)
        return std::nullopt;
    if (c.clip.empty())
        return UsageError{{}, kNoClip};
    if (c.output.empty())
        return UsageError{{}, kOneOutput};
    if (c.codecGiven && !overlayOnly)
        return UsageError{{}, kCodecWithoutOverlay};
    if (overlayOnly && !c.codecGiven)
        c.request.kind = render::OutputKind::OverlayPng;
    if (burned)
        c.request.kind = render::OutputKind::Burned;
    if (c.request.from && c.request.to && *c.request.to <= *c.request.from)
        return UsageError{{}, kEmptyRange};
    return std::nullopt;
}

// Qt's notes (a missing runtime folder, say) stay off standard error, which carries the
// tool's own lines; only its failures pass.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << errorLine("Qt", message.toStdString());
}

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};

void onInterrupt(int signal) {
    interruptSignal = signal;
    interrupted = true;
}

// What a newly created file gets: read and write for all, less the umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// A hidden name beside `output`, created empty; empty with `error` set when it cannot be.
std::string temporaryBeside(const std::string& output, std::string& error) {
    const std::filesystem::path path(output);
    std::string name =
        (path.parent_path() / ("." + path.filename().string() + kTemporaryPattern)).string();
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        error = std::strerror(errno);
        return {};
    }
    ::fchmod(descriptor, newFileMode());
    ::close(descriptor);
    return name;
}

class ProgressLine {
public:
    explicit ProgressLine(bool shown) : shown_(shown), start_(Clock::now()), last_(start_) {}

    void update(const render::RenderProgress& progress) {
        const auto now = Clock::now();
        if (!shown_ || std::chrono::duration<double>(now - last_).count() < kProgressSeconds ||
            progress.frames <= 0 || progress.totalFrames <= 0)
            return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double left = elapsed * static_cast<double>(progress.totalFrames - progress.frames) /
                            static_cast<double>(progress.frames);
        const auto seconds = static_cast<long long>(left + 0.5);
        std::fprintf(stderr, "\r%3lld%%  frame %lld of %lld, %lld:%02lld left ",
                     progress.frames * 100 / progress.totalFrames, progress.frames,
                     progress.totalFrames, seconds / 60, seconds % 60);
        std::fflush(stderr);
        drawn_ = true;
    }

    void clear() {
        if (drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool shown_;
    Clock::time_point start_, last_;
    bool drawn_ = false;
};

std::string_view mapProblem(const char* message) {
    if (message == MbTilesReader::kMissingFileMessage)
        return kMapMissing;
    if (message == MbTilesReader::kUnreadableFileMessage)
        return kMapUnreadable;
    return kMapNotRaster;
}

int run(const CommandLine& c) {
    if (const auto output = extractcli::fileIdentity(c.output);
        output && output == extractcli::fileIdentity(c.clip)) {
        std::cerr << errorLine(c.output, kOutputIsInput);
        return kExitUsage;
    }
    if (const std::string_view problem = extractcli::clipPathProblem(c.clip, false);
        !problem.empty()) {
        std::cerr << errorLine(c.clip, problem);
        return kExitFailure;
    }
    const MetadataExtractor::Output extracted = MetadataExtractor::extract(c.clip);
    if (!extracted.isSuccess()) {
        std::cerr << errorLine(c.clip, extracted.message());
        return kExitFailure;
    }
    if (!extractcli::carriesCsv(extracted)) {
        std::cerr << errorLine(c.clip, extracted.text());
        return kExitNoMetadata;
    }

    MbTilesReader map;
    render::OverlaySource overlay;
    if (!c.tiles.empty()) {
        if (const char* message = map.open(QString::fromStdString(c.tiles))) {
            std::cerr << errorLine(c.tiles, mapProblem(message));
            return kExitFailure;
        }
        overlay.tiles = {[&map](const TileKey& key) { return map.read(key); },
                         map.info().attribution};
    }
    overlay.csv = extracted.text();
    overlay.duration = MetadataExtractor::movieDuration(c.clip);
    overlay.clipFileName = std::filesystem::path(c.clip).filename().string();
    overlay.milesPerHour = c.milesPerHour;

    std::string error;
    render::RenderRequest request = c.request;
    request.clipPath = c.clip;
    request.outputPath = temporaryBeside(c.output, error);
    if (request.outputPath.empty()) {
        std::cerr << errorLine(c.output, error);
        return kExitFailure;
    }
    ProgressLine progress(::isatty(STDERR_FILENO) == 1);
    const render::RenderOutcome outcome =
        render::renderClip(request, overlay, interrupted,
                           [&progress](const render::RenderProgress& p) { progress.update(p); });
    progress.clear();
    if (outcome.cancelled || interrupted || !outcome.error.empty()) {
        std::remove(request.outputPath.c_str());
        if (outcome.cancelled || interrupted) {
            // Ended as the signal would have ended it, for the shell and the caller.
            std::signal(interruptSignal, SIG_DFL);
            std::raise(interruptSignal);
        }
        std::cerr << errorLine(c.output, outcome.error);
        return kExitFailure;
    }
    if (std::rename(request.outputPath.c_str(), c.output.c_str()) != 0) {
        std::cerr << errorLine(c.output, std::strerror(errno));
        std::remove(request.outputPath.c_str());
        return kExitFailure;
    }
    if (c.stages)
        std::fprintf(stderr, kStagesFormat, outcome.stages.decode, outcome.stages.overlay,
                     outcome.stages.encode);
    return kExitCsv;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine c;
    if (const auto error = parse(argc, argv, c)) {
        std::cerr << kProgram << ": ";
        if (!error->subject.empty())
            std::cerr << error->subject << ": ";
        std::cerr << error->message << "\n" << kTryHelp;
        return kExitUsage;
    }
    if (c.help || c.version) {
        std::cout << (c.help ? kUsage : kVersionLine);
        return kExitCsv;
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // Text needs a platform; a render needs no screen.
    qputenv(kPlatformVariable, kPlatform);
    qInstallMessageHandler(qtMessages);
    QGuiApplication application(argc, argv);
    return run(c);
}
