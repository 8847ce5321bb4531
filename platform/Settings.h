// The application's stored settings, held once per process so that every view bound to
// them (main window, settings window) sees a change from any of them at once.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QJSEngine;
class QQmlEngine;

class Settings : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool onlyWithMetadata READ onlyWithMetadata WRITE setOnlyWithMetadata NOTIFY
                   onlyWithMetadataChanged)
    Q_PROPERTY(bool useMilesPerHour READ useMilesPerHour WRITE setUseMilesPerHour NOTIFY
                   useMilesPerHourChanged)
    // The map's tiles: a URL template or an MBTiles file; empty: the default server.
    Q_PROPERTY(QString mapTiles READ mapTiles WRITE setMapTiles NOTIFY mapTilesChanged)
    Q_PROPERTY(QString mapAttribution READ mapAttribution WRITE setMapAttribution NOTIFY
                   mapAttributionChanged)
    // The online tiles' disk cache, clamped to the limits below.
    Q_PROPERTY(int mapCacheMegabytes READ mapCacheMegabytes WRITE setMapCacheMegabytes NOTIFY
                   mapCacheMegabytesChanged)
    Q_PROPERTY(int minimumMapCacheMegabytes READ minimumMapCacheMegabytes CONSTANT)
    Q_PROPERTY(int maximumMapCacheMegabytes READ maximumMapCacheMegabytes CONSTANT)
    // How the route is coloured: 0 plain, 1 by speed, 2 by assistance.
    Q_PROPERTY(
        int routeColouring READ routeColouring WRITE setRouteColouring NOTIFY routeColouringChanged)

public:
    static constexpr const char* kOnlyWithMetadataKey = "batch.onlyWithMetadata";
    static constexpr const char* kUseMilesPerHourKey = "display.useMilesPerHour";
    static constexpr const char* kMapTilesKey = "map.tiles";
    static constexpr const char* kMapAttributionKey = "map.attribution";
    static constexpr const char* kMapCacheMegabytesKey = "map.cacheMegabytes";
    static constexpr int kDefaultMapCacheMegabytes = 256;
    static constexpr int kMinimumMapCacheMegabytes = 16;
    static constexpr int kMaximumMapCacheMegabytes = 8192;
    static constexpr const char* kRouteColouringKey = "map.routeColouring";
    static constexpr int kRouteColouringCount = 3;

    // The shared object; created on first use, lives until the application object goes.
    static Settings* instance();
    // QML's `Settings`: the shared object, which no engine may delete.
    static Settings* create(QQmlEngine*, QJSEngine*);

    // An absent key reads as false; nothing is written until a value is set.
    bool onlyWithMetadata() const;
    void setOnlyWithMetadata(bool on);
    bool useMilesPerHour() const;
    void setUseMilesPerHour(bool on);
    QString mapTiles() const { return mapTiles_; }
    void setMapTiles(const QString& location);
    QString mapAttribution() const { return mapAttribution_; }
    void setMapAttribution(const QString& attribution);
    int mapCacheMegabytes() const { return mapCacheMegabytes_; }
    void setMapCacheMegabytes(int megabytes);
    int minimumMapCacheMegabytes() const { return kMinimumMapCacheMegabytes; }
    int maximumMapCacheMegabytes() const { return kMaximumMapCacheMegabytes; }
    int routeColouring() const { return routeColouring_; }
    void setRouteColouring(int colouring);
    // Asks every map to empty the online tiles' disk cache.
    Q_INVOKABLE void clearMapCache() { emit mapCacheClearRequested(); }

signals:
    void onlyWithMetadataChanged();
    void useMilesPerHourChanged();
    void mapTilesChanged();
    void mapAttributionChanged();
    void mapCacheMegabytesChanged();
    void mapCacheClearRequested();
    void routeColouringChanged();

private:
    explicit Settings(QObject* parent);
    // The stored values, read once: this object is the only writer of its keys.
    bool onlyWithMetadata_;
    bool useMilesPerHour_;
    QString mapTiles_;
    QString mapAttribution_;
    int mapCacheMegabytes_;
    int routeColouring_;
};
