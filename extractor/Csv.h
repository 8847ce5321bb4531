// The telemetry CSV text: a fixed header of the 16 column names, then one line per record.
// Comma-separated, line-feed-separated, never quoted, no line feed after the last line.
#pragma once

#include "TelemetryRecord.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace MetadataExtractor {

using CsvPieceSink = std::function<void(std::string_view piece)>;

// Builds the text one row at a time, each written straight into one buffer: no row is copied.
class CsvBuilder {
public:
    // What a piece handed to a sink holds at most. Small enough that the buffer rows are
    // written to stays in the first-level cache: 64 KiB pieces cost the bench clip 4% more CPU.
    static constexpr std::size_t kPieceBytes = 16 * 1024;

    // The header alone, with room for `expectedRows` rows of any length, so that the text is
    // allocated once when no more rows come.
    explicit CsvBuilder(std::size_t expectedRows = 0);
    // The text is handed to `sink` in pieces through one reused buffer instead of being held
    // whole: a long text would otherwise fault in fresh pages. The header goes with the first
    // row, so that nothing is handed over while no row came.
    explicit CsvBuilder(CsvPieceSink sink);
    void appendRow(const TelemetryValues& values);
    void appendRow(const TelemetryRecord& record);
    // With a sink: hands over what is left, if a row came.
    void finish();
    std::string take() && { return std::string(buffer_.get(), size_); }

private:
    // Where `bytes` more can be written: with a sink, what the buffer holds is handed over
    // first when they would not fit in a piece; without, the buffer grows.
    char* roomFor(std::size_t bytes);
    void append(std::string_view text);

    // Not a std::string: growing one to write into fills it with zeros first.
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    CsvPieceSink sink_;
    RowTextWriter rows_;
    bool hasRows_ = false;
};

std::string renderCsv(std::span<const TelemetryRecord> records);

} // namespace MetadataExtractor
