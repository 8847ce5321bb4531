// A clip's telemetry as one typed table, read once from its CSV text: the header names, each
// cell's exact text (the text kept once, plus one 32-bit end offset per cell) and, per row, the
// numbers, flags and state every reader takes (DriveRow). Nothing else reads the text into
// rows, so a moment's telemetry is parsed once whoever looks at it. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// The engine's telemetry fields, by field number; columnName() gives each one's CSV column.
enum class Field : std::size_t {
    Version = 1,
    Gear,
    FrameSequence,
    Speed,
    Pedal,
    Steering,
    BlinkerLeft,
    BlinkerRight,
    Brake,
    Assistance,
    Latitude,
    Longitude,
    Heading,
    AccelerationX,
    AccelerationY,
    AccelerationZ,
};
std::string_view columnName(Field field);

// The typed values of one telemetry row. A non-finite number is a missing value.
struct DriveRow {
    static constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
    double speed = kMissing;     // vehicle_speed_mps
    double lateral = kMissing;   // linear_acceleration_mps2_y
    std::string_view assistance; // navark_state, empty when missing
    double pedal = kMissing;     // accelerator_pedal_position, percent
    double latitude = kMissing;
    double longitude = kMissing;
    double heading = kMissing; // degrees
    bool brake = false;
    bool blinkerLeft = false;
    bool blinkerRight = false;
    double steering = kMissing;     // steering_wheel_angle, degrees
    double longitudinal = kMissing; // linear_acceleration_mps2_x
};

// How the engine's notice for a clip without telemetry starts.
inline constexpr std::string_view kNoMetadataLineStart = "No SEI metadata found";

// The one number rule of a cell: the whole text as a C-locale strtod reads it, no leading
// space; nothing otherwise.
std::optional<double> parseNumber(std::string_view text);

class TelemetryTable {
public:
    enum class Outcome {
        noLines,          // nothing but blank lines: the table was not touched
        noMetadataNotice, // the first line is the engine's no-metadata notice
        table,            // headers (and maybe rows) were read
    };
    // Whether the comma at byte `at` of `line` separates two cells. Asked only of a comma next
    // to a non-ASCII character (a combining mark may join it); without a rule every comma does.
    using CommaRule = std::function<bool(std::string_view line, std::size_t at)>;
    // Offsets are 32-bit; a longer text is refused as if it held no lines.
    static constexpr std::size_t kMaxTextLength = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::size_t kNoColumn = std::numeric_limits<std::size_t>::max();

    // Splits UTF-8 `text` at line breaks (LF, VT, FF, CR, U+0085, U+2028, U+2029), drops blank
    // lines (only tabs and space separators) and splits the rest at commas, empty cells kept.
    // With Outcome::table, `*this` is replaced by the result; otherwise it is left unchanged
    // (noLines) or emptied (noMetadataNotice).
    Outcome parse(std::string text, const CommaRule& commaRule = {});
    // The engine's text read into a table; an empty table when it holds none.
    static TelemetryTable fromCsv(std::string_view csv);

    std::string_view text() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    const std::vector<std::string>& headers() const { return headers_; }
    std::size_t rowCount() const { return rows_.size(); }
    bool empty() const { return headers_.empty() && rows_.empty(); }
    std::size_t cellCount(std::size_t row) const;
    // The cell's text; empty beyond the row's end.
    std::string_view cell(std::size_t row, std::size_t column) const;

    // The column a name reads from: its last one (a later duplicate wins), or kNoColumn.
    std::size_t column(std::string_view name) const;
    std::size_t column(Field field) const { return column(columnName(field)); }

    // The typed values of each row, as the rules, the route and the readout read them.
    std::span<const DriveRow> rows() const { return rows_; }
    // A number field's value in `row`; nothing when missing, not a number, or a field that no
    // reader takes as a number (the vertical acceleration is only ever shown as text).
    std::optional<double> number(Field field, std::size_t row) const;

    // Bytes held: the text, the offsets and the typed rows.
    std::size_t memoryBytes() const;

private:
    using Offset = std::uint32_t;

    // Shared, so the rows' views into it survive copies and moves of the table.
    std::shared_ptr<const std::string> text_;
    std::vector<std::string> headers_;
    std::vector<Offset> rowStart_;     // offset of each row's first character
    std::vector<Offset> rowFirstCell_; // index into cellEnd_ of each row's first cell, + end
    std::vector<Offset> cellEnd_;      // offset just past each cell
    std::vector<DriveRow> rows_;
};

} // namespace analysis
