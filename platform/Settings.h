// The application's two stored settings, held once per process so that every view bound to
// them (main window, settings window) sees a change from any of them at once.
#pragma once

#include <QObject>
#include <QString>

class Settings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool onlyWithMetadata READ onlyWithMetadata WRITE setOnlyWithMetadata NOTIFY
                   onlyWithMetadataChanged)
    Q_PROPERTY(bool useMilesPerHour READ useMilesPerHour WRITE setUseMilesPerHour NOTIFY
                   useMilesPerHourChanged)

public:
    static constexpr const char* kOnlyWithMetadataKey = "batch.onlyWithMetadata";
    static constexpr const char* kUseMilesPerHourKey = "display.useMilesPerHour";

    // The shared object; created on first use, lives until the application object goes.
    static Settings* instance();

    // An absent key reads as false; nothing is written until a value is set.
    bool onlyWithMetadata() const;
    void setOnlyWithMetadata(bool on);
    bool useMilesPerHour() const;
    void setUseMilesPerHour(bool on);

signals:
    void onlyWithMetadataChanged();
    void useMilesPerHourChanged();

private:
    explicit Settings(QObject* parent);
    // The stored values, read once: this object is the only writer of the two keys.
    bool onlyWithMetadata_;
    bool useMilesPerHour_;
};
