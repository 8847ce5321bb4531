// The load's state; see LoadStatus.h.
#include "LoadStatus.h"

#include "LocalizedString.h"

namespace {

const char* const kInitialStatus = QT_TRANSLATE_NOOP("Veldrin", "Drop an MP4 file to begin");
const char* const kInitialFileName = QT_TRANSLATE_NOOP("Veldrin", "No file loaded");

template <typename T, typename Signal>
void assign(LoadStatus* owner, T& field, const T& value, Signal changed) {
    if (field == value)
        return;
    field = value;
    emit(owner->*changed)();
}

} // namespace

LoadStatus::LoadStatus(QObject* parent)
    : QObject(parent), status_(localizedString(QString::fromUtf8(kInitialStatus))),
      selectedFileName_(localizedString(QString::fromUtf8(kInitialFileName))),
      fileLoadID_(QUuid::createUuid()) {}

void LoadStatus::setIsDropTargeted(bool value) {
    assign(this, isDropTargeted_, value, &LoadStatus::isDropTargetedChanged);
}
void LoadStatus::setStatus(const QString& value) {
    assign(this, status_, value, &LoadStatus::statusChanged);
}
void LoadStatus::setSelectedFileName(const QString& value) {
    documentChosen_ = true;
    assign(this, selectedFileName_, value, &LoadStatus::selectedFileNameChanged);
}
void LoadStatus::setIsExtracting(bool value) {
    assign(this, isExtracting_, value, &LoadStatus::isExtractingChanged);
}
QUuid LoadStatus::renewFileLoadID() {
    fileLoadID_ = QUuid::createUuid();
    emit fileLoadIDChanged();
    return fileLoadID_;
}
void LoadStatus::setStagedFileURL(const QUrl& value) {
    assign(this, stagedFileURL_, value, &LoadStatus::stagedFileURLChanged);
}
void LoadStatus::setSelectedFolderClipPath(const QString& value) {
    // None (null) and the empty path are different values.
    if (selectedFolderClipPath_ == value && selectedFolderClipPath_.isNull() == value.isNull())
        return;
    selectedFolderClipPath_ = value;
    emit selectedFolderClipPathChanged();
}
