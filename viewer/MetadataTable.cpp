// CSV splitting for the metadata table; see MetadataTable.h.
#include "MetadataTable.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// The first code point that can be a grapheme extender or a prepended mark; below it a comma
// is always a cluster of its own.
constexpr char16_t kFirstJoiningCodePoint = 0x0300;

bool isLineBreak(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isBlankCharacter(char16_t c) {
    if (c == u' ' || c == u'\t')
        return true;
    return c >= 0x80 && QChar(c).category() == QChar::Separator_Space;
}

// True when the comma at `at` is a grapheme cluster of its own within [begin, end).
bool isStandaloneComma(const QChar* data, qsizetype begin, qsizetype at, qsizetype end) {
    const bool plainBefore = at == begin || data[at - 1].unicode() < kFirstJoiningCodePoint;
    const bool plainAfter = at + 1 == end || data[at + 1].unicode() < kFirstJoiningCodePoint;
    if (plainBefore && plainAfter)
        return true;
    // One code point either side decides: only "Prepend x" before and "x Extend/ZWJ/
    // SpacingMark" after can join a comma.
    qsizetype from = at, to = at + 1;
    if (from > begin)
        from -= (from - 1 > begin && data[from - 1].isLowSurrogate()) ? 2 : 1;
    if (to < end)
        to += (to + 1 < end && data[to].isHighSurrogate()) ? 2 : 1;
    const QString window(data + from, to - from);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.setPosition(at - from);
    if (!finder.isAtBoundary())
        return false;
    finder.setPosition(at - from + 1);
    return finder.isAtBoundary();
}

} // namespace

MetadataTable::Outcome MetadataTable::parse(const QString& text) {
    if (text.size() > kMaxTextLength)
        return Outcome::noLines;
    const QChar* data = text.constData();
    const qsizetype n = text.size();

    bool haveHeader = false;
    QStringList headers;
    std::vector<Offset> rowStart, rowFirstCell, cellEnd;
    std::vector<qsizetype> commas; // separator commas of the current line

    qsizetype lineStart = 0;
    bool lineHasContent = false;
    for (qsizetype i = 0; i <= n; ++i) {
        const char16_t c = i < n ? data[i].unicode() : u'\n';
        if (c > u',' && c < 0x85) { // digits, letters, '.', '-': the bulk of the text
            lineHasContent = true;
            continue;
        }
        if (c == u',') {
            lineHasContent = true;
            commas.push_back(i);
            continue;
        }
        if (!isLineBreak(c)) {
            lineHasContent = lineHasContent || !isBlankCharacter(c);
            continue;
        }
        const qsizetype lineEnd = i;
        if (lineHasContent) {
            // Grapheme check only for commas with non-ASCII-range neighbours.
            std::erase_if(commas, [&](qsizetype at) {
                return !isStandaloneComma(data, lineStart, at, lineEnd);
            });
            if (!haveHeader) {
                const QStringView line(data + lineStart, lineEnd - lineStart);
                if (line.startsWith(kNoMetadataPrefix)) {
                    clear();
                    return Outcome::noMetadataNotice;
                }
                haveHeader = true;
                qsizetype cellStart = lineStart;
                for (qsizetype at : commas) {
                    headers.append(QString(data + cellStart, at - cellStart));
                    cellStart = at + 1;
                }
                headers.append(QString(data + cellStart, lineEnd - cellStart));
            } else {
                rowStart.push_back(static_cast<Offset>(lineStart));
                rowFirstCell.push_back(static_cast<Offset>(cellEnd.size()));
                for (qsizetype at : commas)
                    cellEnd.push_back(static_cast<Offset>(at));
                cellEnd.push_back(static_cast<Offset>(lineEnd));
            }
        }
        commas.clear();
        lineStart = i + 1;
        lineHasContent = false;
    }
    if (!haveHeader)
        return Outcome::noLines;
    rowFirstCell.push_back(static_cast<Offset>(cellEnd.size()));
    rowStart.shrink_to_fit();
    rowFirstCell.shrink_to_fit();
    cellEnd.shrink_to_fit();

    text_ = text;
    headers_ = std::move(headers);
    rowStart_ = std::move(rowStart);
    rowFirstCell_ = std::move(rowFirstCell);
    cellEnd_ = std::move(cellEnd);
    return Outcome::table;
}

void MetadataTable::clear() {
    *this = MetadataTable();
}

qsizetype MetadataTable::cellCount(qsizetype row) const {
    return rowFirstCell_[row + 1] - rowFirstCell_[row];
}

QStringView MetadataTable::cellView(qsizetype row, qsizetype column) const {
    if (column < 0 || column >= cellCount(row))
        return {};
    const Offset cell = rowFirstCell_[row] + static_cast<Offset>(column);
    const Offset begin = column == 0 ? rowStart_[row] : cellEnd_[cell - 1] + 1;
    return QStringView(text_.constData() + begin, cellEnd_[cell] - begin);
}

QStringList MetadataTable::row(qsizetype row) const {
    QStringList cells;
    const qsizetype count = cellCount(row);
    cells.reserve(count);
    for (qsizetype column = 0; column < count; ++column)
        cells.append(cell(row, column));
    return cells;
}

qsizetype MetadataTable::firstColumn(QStringView name) const {
    for (qsizetype j = 0; j < headers_.size(); ++j)
        if (headers_[j] == name)
            return j;
    return -1;
}

qsizetype MetadataTable::lastColumn(QStringView name) const {
    for (qsizetype j = headers_.size() - 1; j >= 0; --j)
        if (headers_[j] == name)
            return j;
    return -1;
}

qsizetype MetadataTable::memoryBytes() const {
    qsizetype bytes = text_.capacity() * static_cast<qsizetype>(sizeof(QChar));
    for (const QString& h : headers_)
        bytes += h.capacity() * static_cast<qsizetype>(sizeof(QChar));
    bytes += static_cast<qsizetype>(
        (rowStart_.capacity() + rowFirstCell_.capacity() + cellEnd_.capacity()) * sizeof(Offset));
    return bytes;
}
