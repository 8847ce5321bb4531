// The window's face of a clip's telemetry table: the text read in with the window's own rule
// for commas (one joined to a combining mark is a character, not a separator), and the headers
// and cells as Qt strings. The table itself is shared, never read again: the route, the drive,
// the events and the readout all take it.
#pragma once

#include "TelemetryTable.h"

#include <QString>
#include <QStringList>

#include <memory>

class MetadataTable {
public:
    using Outcome = analysis::TelemetryTable::Outcome;

    MetadataTable();
    // A table read elsewhere (a trip's moment); null reads as empty.
    explicit MetadataTable(std::shared_ptr<const analysis::TelemetryTable> table);

    // With Outcome::table, `*this` is replaced by the result; otherwise it is left unchanged
    // (noLines) or emptied (noMetadataNotice). See analysis::TelemetryTable::parse.
    Outcome parse(const QString& text);
    void clear() { *this = MetadataTable(); }

    const analysis::TelemetryTable& table() const { return *table_; }
    const std::shared_ptr<const analysis::TelemetryTable>& shared() const { return table_; }
    const QStringList& headers() const { return headers_; }
    qsizetype rowCount() const { return static_cast<qsizetype>(table_->rowCount()); }
    QStringList row(qsizetype row) const;
    qsizetype memoryBytes() const { return static_cast<qsizetype>(table_->memoryBytes()); }

private:
    std::shared_ptr<const analysis::TelemetryTable> table_;
    QStringList headers_;
};
