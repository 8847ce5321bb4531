// One pass over the text: lines and cells split, and the typed values read as each row ends.
#include "TelemetryTable.h"

#include "TelemetryRecord.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace analysis {
namespace {

// The engine writes flags as "True" and "False".
constexpr std::string_view kTrueFlag = "True";

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// strtod for what from_chars leaves: a sign, hexadecimal digits, an overflow.
std::optional<double> strtodNumber(std::string_view text) {
    std::string copy(text);
    char* end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, cLocale());
    if (end != copy.c_str() + copy.size())
        return std::nullopt;
    return value;
}

double numberOrMissing(std::string_view cell) {
    return parseNumber(cell).value_or(DriveRow::kMissing);
}

using Reader = void (*)(DriveRow&, std::string_view);
struct FieldReader {
    Field field;
    Reader read;
};
constexpr FieldReader kReaders[] = {
    {Field::Speed, [](DriveRow& r, std::string_view c) { r.speed = numberOrMissing(c); }},
    {Field::Pedal, [](DriveRow& r, std::string_view c) { r.pedal = numberOrMissing(c); }},
    {Field::Steering, [](DriveRow& r, std::string_view c) { r.steering = numberOrMissing(c); }},
    {Field::BlinkerLeft, [](DriveRow& r, std::string_view c) { r.blinkerLeft = c == kTrueFlag; }},
    {Field::BlinkerRight, [](DriveRow& r, std::string_view c) { r.blinkerRight = c == kTrueFlag; }},
    {Field::Brake, [](DriveRow& r, std::string_view c) { r.brake = c == kTrueFlag; }},
    {Field::Assistance, [](DriveRow& r, std::string_view c) { r.assistance = c; }},
    {Field::Latitude, [](DriveRow& r, std::string_view c) { r.latitude = numberOrMissing(c); }},
    {Field::Longitude, [](DriveRow& r, std::string_view c) { r.longitude = numberOrMissing(c); }},
    {Field::Heading, [](DriveRow& r, std::string_view c) { r.heading = numberOrMissing(c); }},
    {Field::AccelerationX,
     [](DriveRow& r, std::string_view c) { r.longitudinal = numberOrMissing(c); }},
    {Field::AccelerationY, [](DriveRow& r, std::string_view c) { r.lateral = numberOrMissing(c); }},
};

// Where each number field is kept in a row.
struct NumberMember {
    Field field;
    double DriveRow::*member;
};
constexpr NumberMember kNumbers[] = {
    {Field::Speed, &DriveRow::speed},
    {Field::Pedal, &DriveRow::pedal},
    {Field::Steering, &DriveRow::steering},
    {Field::Latitude, &DriveRow::latitude},
    {Field::Longitude, &DriveRow::longitude},
    {Field::Heading, &DriveRow::heading},
    {Field::AccelerationX, &DriveRow::longitudinal},
    {Field::AccelerationY, &DriveRow::lateral},
};

// A line break starting at `at`: its length in bytes, or 0.
std::size_t lineBreakAt(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 0x0A && c <= 0x0D)
        return 1;
    if (c == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0x85)
        return 2; // U+0085
    if (c == 0xE2 && text.substr(at, 3) >= "\xE2\x80\xA8" && text.substr(at, 3) <= "\xE2\x80\xA9")
        return 3; // U+2028, U+2029
    return 0;
}

// A space separator (Unicode Zs) other than the ASCII space starting at `at`: its length, or 0.
std::size_t wideSpaceAt(std::string_view text, std::size_t at) {
    static constexpr std::string_view kSpaces[] = {
        "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
        "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85",
        "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89",
        "\xE2\x80\x8A", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};
    for (const std::string_view space : kSpaces)
        if (text.substr(at, space.size()) == space)
            return space.size();
    return 0;
}

bool isAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

// Bytes above ',' and below 0x80 (digits, letters, '.', '-': the bulk of the text) neither end
// a line nor a cell nor may be blank. Returns the first other byte at or after `at`.
std::size_t endOfPlainRun(const unsigned char* bytes, std::size_t at, std::size_t n) {
    constexpr std::uint64_t kEachByte = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    constexpr std::uint64_t kFirstPlain = ',' + 1;
    // Eight bytes at a time: a byte below kFirstPlain borrows into its high bit, a byte from
    // 0x80 up has it already; the lowest flagged byte is the first one that is not plain.
    for (; at + sizeof(std::uint64_t) <= n; at += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, sizeof word);
        const std::uint64_t flagged = ((word - kFirstPlain * kEachByte) | word) & kHighBits;
        if (flagged != 0)
            return at + static_cast<std::size_t>(std::countr_zero(flagged)) / 8;
    }
    while (at < n && bytes[at] >= kFirstPlain && bytes[at] < 0x80)
        ++at;
    return at;
}

// Gives back room a text with other line breaks or short rows left unused; the few spare
// places of a final line feed are not worth copying everything for.
template <typename T> void shrinkIfLoose(std::vector<T>& values) {
    constexpr std::size_t kLooseFraction = 8;
    if (values.capacity() - values.size() > values.size() / kLooseFraction)
        values.shrink_to_fit();
}

} // namespace

std::string_view columnName(Field field) {
    return MetadataExtractor::csvColumns()[static_cast<std::size_t>(field) - 1];
}

std::optional<double> parseNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    // strtod skips these; a number must start at the first character.
    const char first = text.front();
    if (first == ' ' || (first >= '\t' && first <= '\r'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size())
        return value;
    return strtodNumber(text);
}

TelemetryTable::Outcome TelemetryTable::parse(std::string text, const CommaRule& commaRule) {
    if (text.size() > kMaxTextLength)
        return Outcome::noLines;
    auto shared = std::make_shared<const std::string>(std::move(text));
    const std::string_view data(*shared);
    const std::size_t n = data.size();
    const auto* const bytes = reinterpret_cast<const unsigned char*>(data.data());
    // Engine text has one row a line feed: room for them all at once, nothing moved twice.
    const auto rowsAtMost = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));

    bool haveHeader = false;
    std::vector<std::string> headers;
    std::vector<Reader> readers; // by column; none for columns nothing reads
    std::vector<Offset> rowStart, rowFirstCell, cellEnd;
    std::vector<DriveRow> rows;
    std::vector<std::size_t> commas; // separator commas of the current line

    std::size_t lineStart = 0;
    bool lineHasContent = false;
    for (std::size_t i = 0; i <= n;) {
        const std::size_t runStart = i;
        i = endOfPlainRun(bytes, i, n);
        lineHasContent = lineHasContent || i > runStart;
        std::size_t breakLength = i < n ? 0 : 1;
        if (i < n) {
            const char c = data[i];
            if (c == ',') {
                lineHasContent = true;
                commas.push_back(i++);
                continue;
            }
            breakLength = lineBreakAt(data, i);
            if (breakLength == 0) {
                if (c == ' ' || c == '\t') {
                    ++i;
                } else if (const std::size_t space = isAscii(c) ? 0 : wideSpaceAt(data, i)) {
                    i += space;
                } else {
                    lineHasContent = true;
                    ++i;
                }
                continue;
            }
        }
        const std::size_t lineEnd = i;
        if (lineHasContent) {
            const std::string_view line = data.substr(lineStart, lineEnd - lineStart);
            if (commaRule) {
                std::erase_if(commas, [&](std::size_t at) {
                    const bool plain = (at == lineStart || isAscii(data[at - 1])) &&
                                       (at + 1 == lineEnd || isAscii(data[at + 1]));
                    return !plain && !commaRule(line, at - lineStart);
                });
            }
            if (!haveHeader) {
                if (line.starts_with(kNoMetadataLineStart)) {
                    *this = TelemetryTable();
                    return Outcome::noMetadataNotice;
                }
                haveHeader = true;
                std::size_t cellStart = lineStart;
                for (std::size_t at : commas) {
                    headers.emplace_back(data.substr(cellStart, at - cellStart));
                    cellStart = at + 1;
                }
                headers.emplace_back(data.substr(cellStart, lineEnd - cellStart));
                readers.assign(headers.size(), nullptr);
                rowStart.reserve(rowsAtMost);
                rowFirstCell.reserve(rowsAtMost + 1);
                rows.reserve(rowsAtMost);
                cellEnd.reserve(rowsAtMost * headers.size());
                for (const FieldReader& reader : kReaders) {
                    // A later duplicate of a name is the column read, as column() says.
                    const auto named =
                        std::find(headers.rbegin(), headers.rend(), columnName(reader.field));
                    if (named != headers.rend())
                        readers[static_cast<std::size_t>(headers.rend() - named) - 1] = reader.read;
                }
            } else {
                rowStart.push_back(static_cast<Offset>(lineStart));
                rowFirstCell.push_back(static_cast<Offset>(cellEnd.size()));
                DriveRow& row = rows.emplace_back();
                std::size_t cellStart = lineStart;
                for (std::size_t column = 0; column <= commas.size(); ++column) {
                    const std::size_t end = column < commas.size() ? commas[column] : lineEnd;
                    cellEnd.push_back(static_cast<Offset>(end));
                    if (column < readers.size() && readers[column])
                        readers[column](row, data.substr(cellStart, end - cellStart));
                    cellStart = end + 1;
                }
            }
        }
        commas.clear();
        i += breakLength;
        lineStart = i;
        lineHasContent = false;
    }
    if (!haveHeader)
        return Outcome::noLines;
    rowFirstCell.push_back(static_cast<Offset>(cellEnd.size()));
    shrinkIfLoose(rowStart);
    shrinkIfLoose(rowFirstCell);
    shrinkIfLoose(cellEnd);
    shrinkIfLoose(rows);

    text_ = std::move(shared);
    headers_ = std::move(headers);
    rowStart_ = std::move(rowStart);
    rowFirstCell_ = std::move(rowFirstCell);
    cellEnd_ = std::move(cellEnd);
    rows_ = std::move(rows);
    return Outcome::table;
}

TelemetryTable TelemetryTable::fromCsv(std::string_view csv) {
    TelemetryTable table;
    table.parse(std::string(csv));
    return table;
}

std::size_t TelemetryTable::cellCount(std::size_t row) const {
    return rowFirstCell_[row + 1] - rowFirstCell_[row];
}

std::string_view TelemetryTable::cell(std::size_t row, std::size_t column) const {
    if (column >= cellCount(row))
        return {};
    const Offset cell = rowFirstCell_[row] + static_cast<Offset>(column);
    const Offset begin = column == 0 ? rowStart_[row] : cellEnd_[cell - 1] + 1;
    return text().substr(begin, cellEnd_[cell] - begin);
}

std::size_t TelemetryTable::column(std::string_view name) const {
    const auto named = std::find(headers_.rbegin(), headers_.rend(), name);
    return named == headers_.rend() ? kNoColumn
                                    : static_cast<std::size_t>(headers_.rend() - named) - 1;
}

std::optional<double> TelemetryTable::number(Field field, std::size_t row) const {
    for (const NumberMember& number : kNumbers) {
        if (number.field != field)
            continue;
        const double value = rows_[row].*number.member;
        return std::isnan(value) ? std::nullopt : std::optional<double>(value);
    }
    return std::nullopt;
}

std::size_t TelemetryTable::memoryBytes() const {
    std::size_t bytes = text_ ? text_->capacity() : 0;
    for (const std::string& header : headers_)
        bytes += header.capacity();
    bytes +=
        (rowStart_.capacity() + rowFirstCell_.capacity() + cellEnd_.capacity()) * sizeof(Offset);
    return bytes + rows_.capacity() * sizeof(DriveRow);
}

} // namespace analysis
