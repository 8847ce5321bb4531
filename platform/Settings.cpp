// Stored settings over QSettings; see Settings.h.
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QQmlEngine>
#include <QSettings>
#include <algorithm>

namespace {

constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QVariant readStored(const char* key, const QVariant& absent = false) {
    return QSettings().value(QLatin1String(key), absent);
}

// Only the user reads what the studio stores: the folder is made private before the file
// first appears in it.
void store(const char* key, const QVariant& value) {
    QSettings settings;
    const QString folder = QFileInfo(settings.fileName()).absolutePath();
    QDir().mkpath(folder);
    QFile::setPermissions(folder, kPrivateFolder);
    settings.setValue(QLatin1String(key), value);
    settings.sync();
    QFile::setPermissions(settings.fileName(), kPrivateFile);
}

// False when `value` is what is held already.
template <typename T> bool replaceStored(T& held, const T& value, const char* key) {
    if (value == held)
        return false;
    held = value;
    store(key, value);
    return true;
}

} // namespace

Settings::Settings(QObject* parent)
    : QObject(parent), onlyWithMetadata_(readStored(kOnlyWithMetadataKey).toBool()),
      useMilesPerHour_(readStored(kUseMilesPerHourKey).toBool()),
      mapTiles_(readStored(kMapTilesKey, QString()).toString()),
      mapAttribution_(readStored(kMapAttributionKey, QString()).toString()),
      mapCacheMegabytes_(
          std::clamp(readStored(kMapCacheMegabytesKey, kDefaultMapCacheMegabytes).toInt(),
                     kMinimumMapCacheMegabytes, kMaximumMapCacheMegabytes)),
      routeColouring_(
          std::clamp(readStored(kRouteColouringKey, 0).toInt(), 0, kRouteColouringCount - 1)) {}

Settings* Settings::instance() {
    // Parented to the application so it goes with it.
    static Settings* shared = new Settings(QCoreApplication::instance());
    return shared;
}

Settings* Settings::create(QQmlEngine*, QJSEngine*) {
    QQmlEngine::setObjectOwnership(instance(), QQmlEngine::CppOwnership);
    return instance();
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

void Settings::setMapTiles(const QString& location) {
    if (replaceStored(mapTiles_, location, kMapTilesKey))
        emit mapTilesChanged();
}

void Settings::setMapAttribution(const QString& attribution) {
    if (replaceStored(mapAttribution_, attribution, kMapAttributionKey))
        emit mapAttributionChanged();
}

void Settings::setMapCacheMegabytes(int megabytes) {
    const int clamped = std::clamp(megabytes, kMinimumMapCacheMegabytes, kMaximumMapCacheMegabytes);
    if (replaceStored(mapCacheMegabytes_, clamped, kMapCacheMegabytesKey))
        emit mapCacheMegabytesChanged();
}

void Settings::setRouteColouring(int colouring) {
    colouring = std::clamp(colouring, 0, kRouteColouringCount - 1);
    if (colouring == routeColouring_)
        return;
    routeColouring_ = colouring;
    store(kRouteColouringKey, colouring);
    emit routeColouringChanged();
}
