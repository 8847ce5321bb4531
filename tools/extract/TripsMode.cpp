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
#include <thread>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotCreateOutputFolder = "cannot create the output folder: ";
constexpr std::string_view kJoinedLineEnd = " rows\n";

trips::ClipFacts measure(const std::string& path, MemoryGate& gate) {
    trips::ClipFacts facts;
    const fs::path location(path);
    facts.folder = location.parent_path().string();
    facts.fileName = location.filename().string();
    facts.duration = MetadataExtractor::movieDuration(path);
    const MemoryGate::Pass pass(gate, bytesInMemory(path));
    const MetadataExtractor::Output output = MetadataExtractor::extract(path);
    facts.rows = carriesCsv(output) ? csvRowCount(output.text()) : 0;
    return facts;
}

std::vector<trips::ClipFacts> measureAll(const std::vector<std::string>& clips,
                                         std::size_t workers) {
    std::vector<trips::ClipFacts> facts(clips.size());
    std::atomic<std::size_t> next{0};
    MemoryGate gate;
    auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < clips.size();)
            facts[i] = measure(clips[i], gate);
    };
    std::vector<std::jthread> threads;
    for (std::size_t t = 1; t < std::min(workers, clips.size()); ++t)
        threads.emplace_back(worker);
    worker();
    return facts;
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
    std::vector<std::string> clips;
    for (FoundPath& found : findClips(options.paths)) {
        if (found.isClip) {
            clips.push_back(std::move(found.path));
        } else {
            log << errorLine(found.path, found.problem);
            status = kExitFailure;
        }
    }
    const std::vector<trips::Trip> grouped =
        trips::groupTrips(measureAll(clips, std::max<std::size_t>(options.workers, 1)));
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
