// Every clip is measured (movie header) and extracted once on a pool of threads; grouping then
// needs only names, durations and row counts. Joined files extract their telemetry clips again
// rather than hold every clip's CSV at once.
#include "TripsMode.h"

#include "AtomicWrite.h"
#include "ClipOutcome.h"
#include "ClipSearch.h"
#include "Csv.h"
#include "FormatMode.h"
#include "MovieDuration.h"
#include "Trips.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotCreateOutputFolder = "cannot create the output folder: ";
constexpr std::string_view kJoinedLineEnd = " rows\n";

struct Measured {
    trips::ClipFacts facts;
    std::string failure; // the engine's message when the clip could not be extracted
};

Measured measure(const std::string& path, MemoryGate& gate) {
    Measured measured;
    trips::ClipFacts& facts = measured.facts;
    const fs::path location(path);
    facts.folder = location.parent_path().string();
    facts.fileName = location.filename().string();
    facts.duration = MetadataExtractor::movieDuration(path);
    const MemoryGate::Pass pass(gate, bytesInMemory(path));
    const MetadataExtractor::Output output = MetadataExtractor::extract(path);
    facts.rows = carriesCsv(output) ? csvRowCount(output.text()) : 0;
    if (!output.isSuccess())
        measured.failure = output.message();
    return measured;
}

std::vector<Measured> measureAll(const std::vector<std::string>& clips, std::size_t workers) {
    std::vector<Measured> measured(clips.size());
    std::atomic<std::size_t> next{0};
    MemoryGate gate;
    auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < clips.size();)
            measured[i] = measure(clips[i], gate);
    };
    std::vector<std::jthread> threads;
    for (std::size_t t = 1; t < std::min(workers, clips.size()); ++t)
        threads.emplace_back(worker);
    worker();
    return measured;
}

// A trip none of whose clips could be extracted has nothing to join.
bool anyClipRead(const trips::Trip& trip, const std::set<fs::path>& failed) {
    for (const trips::Moment& moment : trip.moments)
        for (const trips::MomentClip& clip : moment.clips)
            if (!failed.contains(fs::path(moment.folder) / clip.fileName))
                return true;
    return false;
}

// The header, then every telemetry row of the trip with its clip and trip time.
std::string joinedCsv(const trips::Trip& trip, std::size_t& rows) {
    std::string text = trips::joinedCsvHeader();
    rows = 0;
    for (std::size_t index = 0; index < trip.moments.size(); ++index) {
        const trips::MomentClip* clip = trip.moments[index].telemetryClip();
        if (!clip)
            continue;
        const MetadataExtractor::Output output = MetadataExtractor::extract(
            (fs::path(trip.moments[index].folder) / clip->fileName).string());
        if (carriesCsv(output))
            rows += trips::appendJoinedRows(text, trip, index, output.text());
    }
    return text;
}

} // namespace

int runTrips(const TripsOptions& options, std::ostream& out, std::ostream& log) {
    int status = kExitCsv;
    const std::vector<FoundPath> found = findClips(options.paths);
    std::vector<std::string> clips;
    for (const FoundPath& path : found)
        if (path.isClip && path.problem.empty())
            clips.push_back(path.path);
    std::vector<Measured> measured = measureAll(clips, std::max<std::size_t>(options.workers, 1));
    // Problems in the order of the paths, clips that failed among them.
    std::set<fs::path> failed;
    std::vector<trips::ClipFacts> facts;
    for (std::size_t f = 0, c = 0; f < found.size(); ++f) {
        if (found[f].isClip && found[f].problem.empty()) {
            Measured& clip = measured[c++];
            if (!clip.failure.empty()) {
                log << errorLine(found[f].path, clip.failure);
                failed.insert(fs::path(clip.facts.folder) / clip.facts.fileName);
                status = kExitFailure;
            }
            facts.push_back(std::move(clip.facts));
        } else {
            log << errorLine(found[f].path, found[f].problem);
            status = kExitFailure;
        }
    }
    const std::vector<trips::Trip> grouped = trips::groupTrips(std::move(facts));
    if (options.list)
        out << trips::tripListing(grouped) << std::flush;
    if (options.joinFolder.empty())
        return status;

    std::error_code ec;
    fs::create_directories(options.joinFolder, ec);
    if (ec) {
        log << errorLine(options.joinFolder, kCannotCreateOutputFolder + ec.message());
        return kExitFailure;
    }
    std::map<std::string, int> ordinals;
    for (const trips::Trip& trip : grouped) {
        if (!anyClipRead(trip, failed))
            continue;
        const std::string csvName =
            trips::joinedTripFileName(trip.startText, ++ordinals[trip.startText]);
        const std::string name = formattedTripFileName(csvName, options.format);
        const std::string path = (fs::path(options.joinFolder) / name).string();
        std::size_t rows = 0;
        const auto writeTrip = [&](const exports::TextSink& sink) {
            if (options.format == exports::Format::Csv)
                sink(joinedCsv(trip, rows));
            else
                writeFormattedTrip(options.format, trip, csvName, rows, sink);
        };
        if (const std::string error = writeFileAtomically(path, writeTrip, options.fileMode);
            !error.empty()) {
            log << errorLine(path, error);
            status = kExitFailure;
            continue;
        }
        log << path << ": " << rows << kJoinedLineEnd;
    }
    return status;
}

} // namespace extractcli
