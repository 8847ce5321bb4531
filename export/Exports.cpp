#include "Exports.h"

#include "Writers.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

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

std::size_t dataRows(std::string_view csv) {
    return static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) -
           (csv.ends_with('\n') ? 1 : 0);
}

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

Telemetry clipTelemetry(std::string_view csv, std::string_view clipFileName,
                        std::optional<double> duration) {
    Telemetry telemetry;
    telemetry.name = std::filesystem::path(clipFileName).stem().string();
    if (const auto name = trips::parseClipName(clipFileName))
        telemetry.startSeconds = name->startSeconds;
    const std::size_t rows = dataRows(csv);
    if (duration && *duration > 0 && rows > 0) {
        telemetry.rowTimes.resize(rows);
        for (std::size_t i = 0; i < rows; ++i)
            telemetry.rowTimes[i] = static_cast<double>(i) * *duration / static_cast<double>(rows);
        telemetry.events = analysis::findEvents(analysis::readDriveRows(csv), *duration);
    }
    telemetry.csvTexts.push_back(csv);
    return telemetry;
}

Telemetry tripTelemetry(const trips::Trip& trip, std::string name,
                        const analysis::CsvSource& csvOf) {
    Telemetry telemetry;
    telemetry.name = std::move(name);
    if (!trip.oddName && !trip.moments.empty())
        telemetry.startSeconds = trip.moments.front().startSeconds;
    // Each clip is read once: the events ask for the same texts again.
    std::map<std::string, std::string_view> texts;
    // Never grows past this, so the views into it stay valid.
    telemetry.ownedTexts.reserve(trip.moments.size());
    bool timed = true;
    for (std::size_t index = 0; index < trip.moments.size(); ++index) {
        const trips::Moment& moment = trip.moments[index];
        const trips::MomentClip* clip = moment.telemetryClip();
        if (!clip)
            continue;
        const std::string path = (std::filesystem::path(moment.folder) / clip->fileName).string();
        const std::string_view csv = texts[path] = telemetry.ownedTexts.emplace_back(csvOf(path));
        const std::size_t rows = dataRows(csv);
        timed = timed && clip->duration && rows == clip->rows;
        for (std::size_t row = 0; timed && row < rows; ++row)
            telemetry.rowTimes.push_back(trip.momentOffset(index) + moment.rowTime(row));
        if (rows > 0)
            telemetry.csvTexts.push_back(csv);
    }
    if (!timed) {
        telemetry.rowTimes.clear();
        return telemetry;
    }
    telemetry.events = analysis::findTripEvents(trip, [&](const std::string& path) {
        const auto found = texts.find(path);
        return found == texts.end() ? std::string() : std::string(found->second);
    });
    return telemetry;
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
    for (const std::string_view text : telemetry.csvTexts) {
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
