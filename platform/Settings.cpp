// Stored settings over QSettings; see Settings.h.
#include "Settings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

bool readStored(const char* key) {
    return QSettings().value(QLatin1String(key), false).toBool();
}

void store(const char* key, bool on) {
    QSettings().setValue(QLatin1String(key), on);
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
