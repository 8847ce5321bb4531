// The drive over time as a strip: speed as a line, the accelerator as a filled area, brake
// spans in red, assistance as a tinted band, blinker ticks and event marks. What it paints
// changes only with the drive, the size, the zoom or the unit, so the scene graph keeps the
// texture of the last paint while the playhead (an item of its own) moves over it.
#pragma once

#include "DriveData.h"

#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class TimelineItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(DriveData* drive READ drive WRITE setDrive NOTIFY driveChanged)
    Q_PROPERTY(bool useMilesPerHour READ useMilesPerHour WRITE setUseMilesPerHour NOTIFY
                   useMilesPerHourChanged)
    // The shown stretch of the drive, in seconds; all of it until zoomed.
    Q_PROPERTY(double viewStart READ viewStart NOTIFY viewChanged)
    Q_PROPERTY(double viewEnd READ viewEnd NOTIFY viewChanged)

public:
    // The narrowest stretch the wheel zooms into.
    static constexpr double kShortestViewSeconds = 2.0;

    explicit TimelineItem(QQuickItem* parent = nullptr);

    DriveData* drive() const { return drive_; }
    void setDrive(DriveData* drive);
    bool useMilesPerHour() const { return useMilesPerHour_; }
    void setUseMilesPerHour(bool on);
    double viewStart() const { return viewStart_; }
    double viewEnd() const { return viewEnd_; }

    Q_INVOKABLE double timeAt(double x) const;
    // Scales the shown stretch by `factor` (below 1: in) keeping the time under `x` in place.
    Q_INVOKABLE void zoomAt(double x, double factor);
    Q_INVOKABLE void resetZoom();
    // The time and the values of the row under `x`, for the hover tip.
    Q_INVOKABLE QString describeAt(double x) const;

    // How often the strip was painted; a moving playhead must not add to it.
    int paintCount() const { return paintCount_; }

    void paint(QPainter* painter) override;

signals:
    void driveChanged();
    void useMilesPerHourChanged();
    void viewChanged();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void driveReplaced();
    void setView(double start, double end);
    double xAt(double time) const;

    QPointer<DriveData> drive_;
    bool useMilesPerHour_ = false;
    double viewStart_ = 0.0;
    double viewEnd_ = 0.0;
    int paintCount_ = 0;
};
