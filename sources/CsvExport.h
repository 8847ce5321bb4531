// Writing the loaded clip's telemetry CSV to a file the user chose, byte for byte as the
// extraction produced it.
#pragma once

#include <QString>
#include <QUrl>

namespace csvexport {

// The save panel's proposed name: `clipName` without its last extension + "_sei.csv".
QString proposedFileName(const QString& clipName);

// The save panel's proposal for the clip at `clipPath`: the proposed name in the clip's own
// folder. Empty without a clip.
QUrl proposedUrl(const QString& clipPath);

// Writes `csv` as UTF-8 to `destination` atomically. On failure the destination keeps what
// it held.
bool write(const QString& csv, const QUrl& destination);

} // namespace csvexport
