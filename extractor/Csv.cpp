// CSV rendering of accepted telemetry records.
#include "Csv.h"

#include <algorithm>

namespace MetadataExtractor {
namespace {

constexpr char kCellSeparator = ',';
constexpr char kLineSeparator = '\n';
// Room for one row as the row writer needs it, its line feed before.
constexpr std::size_t kRowBytes = 1 + RowTextWriter::kRowRoom;
// The longest row's text: its line feed, the separators and the longest text in every cell.
constexpr std::size_t kLongestRowBytes =
    1 + (kTelemetryFieldCount - 1) + kTelemetryFieldCount * ValueText::kCapacity;

std::size_t headerBytes() {
    std::size_t bytes = 0;
    for (const std::string_view column : csvColumns())
        bytes += column.size() + 1;
    return bytes;
}

// Every row at its longest, and the writer's room for the last. No more than that: a clip's
// text is reserved for as many rows as its media data could hold, and a buffer above the C
// library's largest reusable size (32 MiB) is mapped and unmapped, pages faulted in afresh,
// for every clip of a folder.
std::size_t bytesFor(std::size_t rows) {
    return headerBytes() + rows * kLongestRowBytes + kRowBytes;
}

} // namespace

CsvBuilder::CsvBuilder(std::size_t expectedRows)
    : buffer_(new char[bytesFor(expectedRows)]), capacity_(bytesFor(expectedRows)) {
    for (const std::string_view column : csvColumns()) {
        if (size_ > 0)
            append(std::string_view(&kCellSeparator, 1));
        append(column);
    }
}

CsvBuilder::CsvBuilder(CsvPieceSink sink) : CsvBuilder() {
    static_assert(kPieceBytes > 2 * kRowBytes);
    sink_ = std::move(sink);
}

char* CsvBuilder::roomFor(std::size_t bytes) {
    if (sink_ && hasRows_ && size_ + bytes > kPieceBytes) {
        sink_(std::string_view(buffer_.get(), size_));
        size_ = 0;
        rows_.forget();
    }
    if (size_ + bytes > capacity_) {
        const std::size_t capacity =
            std::max(sink_ ? kPieceBytes + kRowBytes : 2 * capacity_, size_ + bytes);
        std::unique_ptr<char[]> grown(new char[capacity]);
        std::copy_n(buffer_.get(), size_, grown.get());
        buffer_ = std::move(grown);
        capacity_ = capacity;
        rows_.forget();
    }
    return buffer_.get() + size_;
}

void CsvBuilder::append(std::string_view text) {
    std::copy(text.begin(), text.end(), roomFor(text.size()));
    size_ += text.size();
}

void CsvBuilder::finish() {
    if (!sink_)
        return;
    if (hasRows_ && size_ > 0)
        sink_(std::string_view(buffer_.get(), size_));
    size_ = 0;
}

void CsvBuilder::appendRow(const TelemetryValues& values) {
    char* const out = roomFor(kRowBytes);
    *out = kLineSeparator;
    size_ = static_cast<std::size_t>(rows_.write(out + 1, values, kCellSeparator) - buffer_.get());
    hasRows_ = true;
}

void CsvBuilder::appendRow(const TelemetryRecord& record) {
    append(std::string_view(&kLineSeparator, 1));
    for (std::size_t field = 1; field <= kTelemetryFieldCount; ++field) {
        if (field > 1)
            append(std::string_view(&kCellSeparator, 1));
        append(record.value(field).value_or(std::string_view{}));
    }
    hasRows_ = true;
}

std::string renderCsv(std::span<const TelemetryRecord> records) {
    CsvBuilder csv(records.size());
    for (const TelemetryRecord& record : records)
        csv.appendRow(record);
    return std::move(csv).take();
}

} // namespace MetadataExtractor
