// CSV export: the proposed name and the atomic write.
#include "CsvExport.h"

#include "FileServices.h"

namespace CsvExport {
namespace {
constexpr const char* kExportSuffix = "_sei.csv";
}

QString proposedFileName(const QString& clipName) {
    return FileServices::deletingPathExtension(clipName) + kExportSuffix;
}

bool write(const QString& csv, const QUrl& destination) {
    return FileServices::writeTextAtomically(csv, destination);
}

} // namespace CsvExport
