#include "Exports.h"

#include "Writers.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace exports {
namespace {

struct FormatFacts {
    Format format;
    std::string_view name;
    std::string_view suffix;
};
constexpr std::array<FormatFacts, 5> kFormats = {{
    {Format::Csv, "csv", "_sei.csv"},
    {Format::Gpx, "gpx", ".gpx"},
    {Format::GeoJson, "geojson", ".geojson"},
    {Format::Kml, "kml", ".kml"},
    {Format::JsonLines, "jsonl", ".jsonl"},
}};

} // namespace

std::optional<Format> formatNamed(std::string_view name) {
    for (const FormatFacts& facts : kFormats)
        if (facts.name == name)
            return facts.format;
    return std::nullopt;
}

std::string_view fileSuffix(Format format) {
    return kFormats[static_cast<std::size_t>(format)].suffix;
}

Telemetry clipTelemetry(analysis::TelemetryTable table, std::string_view clipFileName,
                        std::optional<double> duration) {
    Telemetry telemetry;
    telemetry.name = std::filesystem::path(clipFileName).stem().string();
    if (const auto name = trips::parseClipName(clipFileName))
        telemetry.startSeconds = name->startSeconds;
    const std::size_t rows = table.rowCount();
    if (duration && *duration > 0 && rows > 0) {
        telemetry.rowTimes.resize(rows);
        for (std::size_t i = 0; i < rows; ++i)
            telemetry.rowTimes[i] = static_cast<double>(i) * *duration / static_cast<double>(rows);
        telemetry.events = analysis::findEvents(table.rows(), *duration);
    }
    telemetry.tables.push_back(std::move(table));
    return telemetry;
}

Telemetry tripTelemetry(const trips::Trip& trip, std::string name,
                        const analysis::CsvSource& csvOf) {
    Telemetry telemetry;
    telemetry.name = std::move(name);
    if (!trip.oddName && !trip.moments.empty())
        telemetry.startSeconds = trip.moments.front().startSeconds;
    // Each clip is read once; the events and the route share its table.
    std::vector<analysis::TelemetryTable> byMoment(trip.moments.size());
    bool timed = true;
    for (std::size_t index = 0; index < trip.moments.size(); ++index) {
        const trips::Moment& moment = trip.moments[index];
        const trips::MomentClip* clip = moment.telemetryClip();
        if (!clip)
            continue;
        const std::string path = (std::filesystem::path(moment.folder) / clip->fileName).string();
        byMoment[index] = analysis::TelemetryTable::fromCsv(csvOf(path));
        const std::size_t rows = byMoment[index].rowCount();
        timed = timed && clip->duration && rows == clip->rows;
        for (std::size_t row = 0; timed && row < rows; ++row)
            telemetry.rowTimes.push_back(trip.momentOffset(index) + moment.rowTime(row));
    }
    if (timed) {
        std::vector<const analysis::TelemetryTable*> tables;
        for (const analysis::TelemetryTable& table : byMoment)
            tables.push_back(&table);
        telemetry.events = analysis::findTripEvents(trip, tables);
    } else {
        telemetry.rowTimes.clear();
    }
    for (analysis::TelemetryTable& table : byMoment)
        if (table.rowCount() > 0)
            telemetry.tables.push_back(std::move(table));
    return telemetry;
}

std::size_t rowCount(const Telemetry& telemetry) {
    std::size_t rows = 0;
    for (const analysis::TelemetryTable& table : telemetry.tables)
        rows += table.rowCount();
    return rows;
}

void render(Format format, const Telemetry& telemetry, const TextSink& sink) {
    switch (format) {
    case Format::Gpx:
        return writeGpx(telemetry, sink);
    case Format::GeoJson:
        return writeGeoJson(telemetry, sink);
    case Format::Kml:
        return writeKml(telemetry, sink);
    case Format::JsonLines:
        return writeJsonLines(telemetry, sink);
    case Format::Csv:
        break;
    }
    for (const analysis::TelemetryTable& table : telemetry.tables) {
        const std::string_view text = table.text();
        sink(text);
        if (!text.ends_with('\n'))
            sink("\n");
    }
}

std::string render(Format format, const Telemetry& telemetry) {
    std::string text;
    render(format, telemetry, [&text](std::string_view piece) { text += piece; });
    return text;
}

} // namespace exports
