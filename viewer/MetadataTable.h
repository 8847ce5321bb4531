// The metadata table of one clip, parsed from its CSV text: header names and rows of cells.
// The cells are kept as the exact texts, compactly: the CSV text once (shared with the
// caller's copy) plus one 32-bit end offset per cell, so a 100,000-row table costs little
// more than its text. Cells are materialised on demand.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <limits>
#include <vector>

class MetadataTable {
public:
    enum class Outcome {
        noLines,          // nothing but blank lines: the table was not touched
        noMetadataNotice, // the first line is the extractor's no-metadata notice
        table,            // headers (and maybe rows) were read
    };

    // The prefix of the extractor's notice for a clip without telemetry.
    static constexpr QStringView kNoMetadataPrefix = u"No SEI metadata found";
    // Offsets are 32-bit; a longer text is refused as if it held no lines.
    static constexpr qsizetype kMaxTextLength = std::numeric_limits<std::uint32_t>::max();

    // Splits `text` at line breaks (LF, VT, FF, CR, CR LF, U+0085, U+2028, U+2029), drops the
    // blank lines (only tabs and space separators), and splits the rest at commas, keeping
    // empty cells; a comma joined to a neighbouring character in one grapheme cluster does
    // not separate. With Outcome::table, `*this` is replaced by the result; otherwise it is
    // left unchanged (noLines) or emptied (noMetadataNotice).
    Outcome parse(const QString& text);
    void clear();

    const QStringList& headers() const { return headers_; }
    qsizetype rowCount() const { return static_cast<qsizetype>(rowStart_.size()); }
    bool isEmpty() const { return headers_.isEmpty() && rowStart_.empty(); }
    qsizetype cellCount(qsizetype row) const;
    // The cell's text; empty beyond the row's end. `row` must be a valid row.
    QStringView cellView(qsizetype row, qsizetype column) const;
    QString cell(qsizetype row, qsizetype column) const { return cellView(row, column).toString(); }
    QStringList row(qsizetype row) const;

    // Column of the first / last header equal to `name`, or -1.
    qsizetype firstColumn(QStringView name) const;
    qsizetype lastColumn(QStringView name) const;

    // Bytes held: the text's buffer (even when shared with the caller) and the offsets.
    qsizetype memoryBytes() const;

private:
    using Offset = std::uint32_t;

    QString text_;
    QStringList headers_;
    std::vector<Offset> rowStart_;     // offset of each row's first character
    std::vector<Offset> rowFirstCell_; // index into cellEnd_ of each row's first cell, + end
    std::vector<Offset> cellEnd_;      // offset just past each cell
};
