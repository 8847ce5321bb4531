// Clips recorded by several cameras in one-minute pieces, grouped back into drives. Clip names
// carry the start time and camera; movie headers carry durations. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trips {

// Two moments belong to one trip when the second starts no later than this after the first ends.
inline constexpr double kTripSlackSeconds = 10.0;
// The camera whose telemetry wins when several clips of a moment carry some.
inline constexpr std::string_view kPreferredTelemetryCamera = "front";
// CAMERAS of a trip whose clip name gives no camera.
inline constexpr std::string_view kNoCamera = "-";
// SECONDS of a trip without a readable duration.
inline constexpr std::string_view kUnknownSeconds = "?";

// "YYYY-MM-DD_HH-MM-SS-CAMERA.mp4", the extension in any letter case.
struct ClipName {
    std::string startText; // "YYYY-MM-DD_HH-MM-SS"
    std::string camera;
    std::int64_t startSeconds = 0; // the name read as local time, in seconds since the epoch
};
std::optional<ClipName> parseClipName(std::string_view fileName);

// What is known of one clip before grouping.
struct ClipFacts {
    std::string folder;
    std::string fileName;
    std::optional<double> duration; // from the movie header
    std::size_t rows = 0;           // telemetry rows; 0 when extraction failed or found none
};

struct MomentClip {
    std::string fileName;
    std::string camera; // empty for a clip whose name gives none
    std::optional<double> duration;
    std::size_t rows = 0;
};

// All clips of one folder with the same start time.
struct Moment {
    std::string folder;
    std::string startText;
    std::int64_t startSeconds = 0;
    std::vector<MomentClip> clips;  // in camera byte order
    std::optional<double> duration; // the longest of its clips

    // The clip whose rows stand for the moment: "front" among those with rows, else the first
    // camera in name order; nothing when no clip has rows.
    const MomentClip* telemetryClip() const;
    std::size_t telemetryRows() const;
    // Trip time of telemetry row `row` within this moment, from its start.
    double rowTime(std::size_t row) const;
};

struct Trip {
    std::string startText; // the first moment's start, or the file name of an odd name
    bool oddName = false;
    std::vector<Moment> moments;

    std::optional<double> seconds() const;
    // Seconds from the trip's start to the start of moment `index`.
    double momentOffset(std::size_t index) const;
    std::vector<std::string> cameras() const; // byte order, each once
    std::size_t rows() const;
};

// Groups clips into trips, in the byte order of START, ties by folder path.
std::vector<Trip> groupTrips(std::vector<ClipFacts> clips);

// One line per trip: START, MOMENTS, SECONDS, CAMERAS, ROWS, tab-separated, each ending in a
// line feed.
std::string tripListing(const std::vector<Trip>& trips);

// The joined CSV's file name for the `ordinal`-th trip (from 1) with this START.
std::string joinedTripFileName(std::string_view startText, int ordinal);

// The joined CSV's header line, with its line feed: "clip,trip_time_s," and the 16 columns.
std::string joinedCsvHeader();
// Appends the rows of moment `index`, whose telemetry clip's CSV (header line first) is `csv`,
// each prefixed by that clip's name and its trip time. Returns how many rows it appended.
std::size_t appendJoinedRows(std::string& text, const Trip& trip, std::size_t index,
                             std::string_view csv);

} // namespace trips
