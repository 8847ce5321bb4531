// The window's reading of telemetry text; see MetadataTable.h.
#include "MetadataTable.h"

#include <QTextBoundaryFinder>

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// True when the comma at byte `at` is a grapheme cluster of its own within `line`. One code
// point either side decides: only "Prepend x" before and "x Extend/ZWJ/SpacingMark" after can
// join a comma.
bool isStandaloneComma(std::string_view line, std::size_t at) {
    std::size_t from = at, to = at + 1;
    if (from > 0)
        do
            --from;
        while (from > 0 && isContinuationByte(line[from]));
    if (to < line.size())
        do
            ++to;
        while (to < line.size() && isContinuationByte(line[to]));
    const QString before = QString::fromUtf8(line.data() + from, static_cast<qsizetype>(at - from));
    const QString window = QString::fromUtf8(line.data() + from, static_cast<qsizetype>(to - from));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.setPosition(before.size());
    if (!finder.isAtBoundary())
        return false;
    finder.setPosition(before.size() + 1);
    return finder.isAtBoundary();
}

QString textOf(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList headersOf(const analysis::TelemetryTable& table) {
    QStringList headers;
    headers.reserve(static_cast<qsizetype>(table.headers().size()));
    for (const std::string& header : table.headers())
        headers.append(textOf(header));
    return headers;
}

} // namespace

MetadataTable::MetadataTable() : table_(std::make_shared<const analysis::TelemetryTable>()) {}

MetadataTable::MetadataTable(std::shared_ptr<const analysis::TelemetryTable> table)
    : table_(table ? std::move(table) : std::make_shared<const analysis::TelemetryTable>()),
      headers_(headersOf(*table_)) {}

MetadataTable::Outcome MetadataTable::parse(const QString& text) {
    analysis::TelemetryTable parsed;
    const Outcome outcome = parsed.parse(text.toStdString(), isStandaloneComma);
    if (outcome == Outcome::table)
        *this = MetadataTable(std::make_shared<const analysis::TelemetryTable>(std::move(parsed)));
    else if (outcome == Outcome::noMetadataNotice)
        clear();
    return outcome;
}

QStringList MetadataTable::row(qsizetype row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::size_t count = table_->cellCount(index);
    QStringList cells;
    cells.reserve(static_cast<qsizetype>(count));
    for (std::size_t column = 0; column < count; ++column)
        cells.append(textOf(table_->cell(index, column)));
    return cells;
}
