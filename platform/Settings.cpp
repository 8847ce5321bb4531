// Stored settings over QSettings; see Settings.h.
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool readStored(const char* key) {
    return QSettings().value(QLatin1String(key), false).toBool();
}

// Only the user reads what the studio stores: the folder is made private before the file
// first appears in it.
void store(const char* key, bool on) {
    QSettings settings;
    const QString folder = QFileInfo(settings.fileName()).absolutePath();
    QDir().mkpath(folder);
    QFile::setPermissions(folder, kPrivateFolder);
    settings.setValue(QLatin1String(key), on);
    settings.sync();
    QFile::setPermissions(settings.fileName(), kPrivateFile);
}

} // namespace

Settings::Settings(QObject* parent)
    : QObject(parent), onlyWithMetadata_(readStored(kOnlyWithMetadataKey)),
      useMilesPerHour_(readStored(kUseMilesPerHourKey)) {}

Settings* Settings::instance() {
    // Parented to the application so it goes with it.
    static Settings* shared = new Settings(QCoreApplication::instance());
    return shared;
}

bool Settings::onlyWithMetadata() const {
    return onlyWithMetadata_;
}

void Settings::setOnlyWithMetadata(bool on) {
    if (on == onlyWithMetadata_)
        return;
    onlyWithMetadata_ = on;
    store(kOnlyWithMetadataKey, on);
    emit onlyWithMetadataChanged();
}

bool Settings::useMilesPerHour() const {
    return useMilesPerHour_;
}

void Settings::setUseMilesPerHour(bool on) {
    if (on == useMilesPerHour_)
        return;
    useMilesPerHour_ = on;
    store(kUseMilesPerHourKey, on);
    emit useMilesPerHourChanged();
}
