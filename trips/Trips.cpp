#include "Trips.h"

#include "Csv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <tuple>

namespace trips {
namespace {

constexpr std::string_view kClipExtension = ".mp4";
// "YYYY-MM-DD_HH-MM-SS": where each number starts, and what follows it.
constexpr std::size_t kStartTextLength = 19;
struct NameField {
    std::size_t offset;
    std::size_t digits;
    char after;
    int min;
    int max;
};
constexpr NameField kNameFields[] = {
    {0, 4, '-', 1, 9999}, {5, 2, '-', 1, 12},  {8, 2, '_', 1, 31},
    {11, 2, '-', 0, 23},  {14, 2, '-', 0, 59}, {17, 2, '-', 0, 60},
};
constexpr char kJoinedSuffix[] = "_trip";
constexpr char kJoinedExtension[] = ".csv";
constexpr std::string_view kJoinedHeaderStart = "clip,trip_time_s,";
constexpr const char* kTripTimeFormat = "%.3f";

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    return std::equal(
        suffix.begin(), suffix.end(), text.end() - suffix.size(),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

bool isCameraCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

std::int64_t localSeconds(const int (&values)[6]) {
    std::tm time{};
    time.tm_year = values[0] - 1900;
    time.tm_mon = values[1] - 1;
    time.tm_mday = values[2];
    time.tm_hour = values[3];
    time.tm_min = values[4];
    time.tm_sec = values[5];
    time.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&time));
}

std::string oneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

std::optional<ClipName> parseClipName(std::string_view fileName) {
    if (!endsWithIgnoringCase(fileName, kClipExtension))
        return std::nullopt;
    const std::string_view stem = fileName.substr(0, fileName.size() - kClipExtension.size());
    if (stem.size() < kStartTextLength + 2)
        return std::nullopt;
    int values[6] = {};
    for (std::size_t i = 0; i < std::size(kNameFields); ++i) {
        const NameField& field = kNameFields[i];
        const char* first = stem.data() + field.offset;
        const char* last = first + field.digits;
        if (!std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        std::from_chars(first, last, values[i]);
        if (values[i] < field.min || values[i] > field.max ||
            stem[field.offset + field.digits] != field.after)
            return std::nullopt;
    }
    const std::string_view camera = stem.substr(kStartTextLength + 1);
    if (!std::all_of(camera.begin(), camera.end(), isCameraCharacter))
        return std::nullopt;
    return ClipName{std::string(stem.substr(0, kStartTextLength)), std::string(camera),
                    localSeconds(values)};
}

const MomentClip* Moment::telemetryClip() const {
    const MomentClip* chosen = nullptr;
    for (const MomentClip& clip : clips) {
        if (clip.rows == 0)
            continue;
        if (clip.camera == kPreferredTelemetryCamera)
            return &clip;
        if (!chosen)
            chosen = &clip;
    }
    return chosen;
}

std::size_t Moment::telemetryRows() const {
    const MomentClip* clip = telemetryClip();
    return clip ? clip->rows : 0;
}

double Moment::rowTime(std::size_t row) const {
    const MomentClip* clip = telemetryClip();
    if (!clip)
        return 0.0;
    const double spread = clip->duration.value_or(duration.value_or(0.0));
    return static_cast<double>(row) * spread / static_cast<double>(clip->rows);
}

std::optional<double> Trip::seconds() const {
    const Moment& last = moments.back();
    if (!last.duration)
        return std::nullopt;
    return momentOffset(moments.size() - 1) + *last.duration;
}

double Trip::momentOffset(std::size_t index) const {
    return static_cast<double>(moments[index].startSeconds - moments.front().startSeconds);
}

std::vector<std::string> Trip::cameras() const {
    std::set<std::string> names;
    for (const Moment& moment : moments)
        for (const MomentClip& clip : moment.clips)
            names.insert(clip.camera);
    return {names.begin(), names.end()};
}

std::size_t Trip::rows() const {
    std::size_t total = 0;
    for (const Moment& moment : moments)
        total += moment.telemetryRows();
    return total;
}

std::vector<Trip> groupTrips(std::vector<ClipFacts> clips) {
    std::vector<Trip> trips;
    // Moments by folder, then by start; a std::map keeps both in order.
    std::map<std::string, std::map<std::string, Moment>> foldersMoments;
    for (ClipFacts& facts : clips) {
        const auto name = parseClipName(facts.fileName);
        if (!name) {
            Trip trip;
            trip.startText = facts.fileName;
            trip.oddName = true;
            Moment moment;
            moment.folder = std::move(facts.folder);
            moment.startText = trip.startText;
            moment.duration = facts.duration;
            moment.clips.push_back({std::move(facts.fileName), {}, facts.duration, facts.rows});
            trip.moments.push_back(std::move(moment));
            trips.push_back(std::move(trip));
            continue;
        }
        Moment& moment = foldersMoments[facts.folder][name->startText];
        moment.folder = facts.folder;
        moment.startText = name->startText;
        moment.startSeconds = name->startSeconds;
        if (facts.duration && (!moment.duration || *facts.duration > *moment.duration))
            moment.duration = facts.duration;
        moment.clips.push_back(
            {std::move(facts.fileName), name->camera, facts.duration, facts.rows});
    }

    for (auto& [folder, moments] : foldersMoments) {
        std::vector<Moment> ordered;
        for (auto& [start, moment] : moments) {
            std::sort(moment.clips.begin(), moment.clips.end(),
                      [](const MomentClip& a, const MomentClip& b) {
                          return std::tie(a.camera, a.fileName) < std::tie(b.camera, b.fileName);
                      });
            ordered.push_back(std::move(moment));
        }
        std::stable_sort(ordered.begin(), ordered.end(), [](const Moment& a, const Moment& b) {
            return a.startSeconds < b.startSeconds;
        });
        std::optional<std::size_t> open; // index: `trips` grows meanwhile
        for (Moment& moment : ordered) {
            Trip trip;
            trip.startText = moment.startText;
            if (!moment.duration) {
                // A moment cut short cannot say where it ends, so it stands alone.
                trip.moments.push_back(std::move(moment));
                trips.push_back(std::move(trip));
                continue;
            }
            if (open) {
                const Moment& last = trips[*open].moments.back();
                const double joinBy =
                    static_cast<double>(last.startSeconds) + *last.duration + kTripSlackSeconds;
                if (static_cast<double>(moment.startSeconds) <= joinBy) {
                    trips[*open].moments.push_back(std::move(moment));
                    continue;
                }
            }
            trip.moments.push_back(std::move(moment));
            trips.push_back(std::move(trip));
            open = trips.size() - 1;
        }
    }
    std::stable_sort(trips.begin(), trips.end(), [](const Trip& a, const Trip& b) {
        return std::tie(a.startText, a.moments.front().folder) <
               std::tie(b.startText, b.moments.front().folder);
    });
    return trips;
}

std::string tripListing(const std::vector<Trip>& trips) {
    std::string text;
    for (const Trip& trip : trips) {
        const auto seconds = trip.seconds();
        std::string cameras;
        if (trip.oddName) {
            cameras = kNoCamera;
        } else {
            for (const std::string& camera : trip.cameras())
                cameras += (cameras.empty() ? "" : ",") + camera;
        }
        text += trip.startText + '\t' + std::to_string(trip.moments.size()) + '\t' +
                (seconds ? oneDecimal(*seconds) : std::string(kUnknownSeconds)) + '\t' + cameras +
                '\t' + std::to_string(trip.rows()) + '\n';
    }
    return text;
}

std::string joinedTripFileName(std::string_view startText, int ordinal) {
    std::string name(startText);
    name += kJoinedSuffix;
    if (ordinal > 1)
        name += '_' + std::to_string(ordinal);
    return name + kJoinedExtension;
}

std::string joinedCsvHeader() {
    std::string text(kJoinedHeaderStart);
    return text.append(MetadataExtractor::renderCsv({})).append("\n");
}

std::size_t appendJoinedRows(std::string& text, const Trip& trip, std::size_t index,
                             std::string_view csv) {
    const Moment& moment = trip.moments[index];
    const MomentClip* clip = moment.telemetryClip();
    if (!clip)
        return 0;
    const double offset = trip.momentOffset(index);
    std::size_t rows = 0;
    for (std::size_t lineStart = csv.find('\n'); lineStart != std::string_view::npos; ++rows) {
        const std::size_t next = csv.find('\n', lineStart + 1);
        char time[64];
        std::snprintf(time, sizeof time, kTripTimeFormat, offset + moment.rowTime(rows));
        text.append(clip->fileName).append(",").append(time).append(",");
        text.append(csv.substr(lineStart + 1, (next == std::string_view::npos ? csv.size() : next) -
                                                  lineStart - 1));
        text.append("\n");
        lineStart = next;
    }
    return rows;
}

} // namespace trips
