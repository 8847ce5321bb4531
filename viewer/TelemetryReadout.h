// What the window shows for the current playback instant, as plain values a view binds to:
// the overlay gauges, the four metric cards, the detail grid and the car's place on the route.
// Recomputed when the clock, the table or the speed unit changes; `changed` fires only when
// some value did change. Every property is absent/zero while there is no current row
// (`hasRow` false), in which case the window hides the overlay, the cards and the grid.
#pragma once

#include "GeoCoordinate.h"
#include "TelemetryValues.h"

#include <QObject>
#include <QVariant>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <optional>

class TelemetryReadout : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("TelemetryReadout belongs to a ContentView")
    // A current row exists (the table has headers and rows).
    Q_PROPERTY(bool hasRow READ hasRow NOTIFY changed)
    Q_PROPERTY(int rowIndex READ rowIndex NOTIFY changed)

    // Overlay. Gear badge text: "D", "P", "R", "N", another gear text, or "—".
    Q_PROPERTY(QString gearLetter READ gearLetter NOTIFY changed)
    // Speed number, "%.0f" without a locale ("36"), and its unit, "km/h" or "mph".
    Q_PROPERTY(QString speedText READ speedText NOTIFY changed)
    Q_PROPERTY(QString speedUnit READ speedUnit NOTIFY changed)
    // Steering-wheel rotation; positive turns clockwise on screen.
    Q_PROPERTY(double steeringDegrees READ steeringDegrees NOTIFY changed)
    Q_PROPERTY(double steeringRadians READ steeringRadians NOTIFY changed)
    // Accelerator pedal as the bar's fill, 0..1.
    Q_PROPERTY(double pedalFraction READ pedalFraction NOTIFY changed)
    Q_PROPERTY(bool brakeOn READ brakeOn NOTIFY changed)
    // The assistance badge shows only when the state is not "IDLE"; its text is "NVG" for
    // "FULL_GUIDE", else the translated state.
    Q_PROPERTY(bool showsAssistBadge READ showsAssistBadge NOTIFY changed)
    Q_PROPERTY(QString assistBadgeText READ assistBadgeText NOTIFY changed)
    // Tooltips of the gear badge, speed button, steering wheel, pedal bar, brake lamp and
    // assistance badge.
    Q_PROPERTY(QString gearTooltip READ gearTooltip NOTIFY changed)
    Q_PROPERTY(QString speedTooltip READ speedTooltip NOTIFY changed)
    Q_PROPERTY(QString steeringTooltip READ steeringTooltip NOTIFY changed)
    Q_PROPERTY(QString pedalTooltip READ pedalTooltip NOTIFY changed)
    Q_PROPERTY(QString brakeTooltip READ brakeTooltip NOTIFY changed)
    Q_PROPERTY(QString assistTooltip READ assistTooltip NOTIFY changed)

    // Metric cards, in order Speed, Steering, Gear, NV: maps {title, value}. The speed value
    // reads "36.0 km/h" and the steering value "12.5°" in every language.
    Q_PROPERTY(QVariantList metricCards READ metricCards NOTIFY changed)

    // Detail grid, one map per detail key in order:
    //   key, label, value (texts);
    //   arrow: "none", "left" or "right" (blinker cells);
    //   arrowActive: the blinker is on (yellow arrow, else white 35%);
    //   arrowBright: active and in the lit half-second (full opacity, else 25%);
    //   highlighted: the brake cell while the brake is applied.
    Q_PROPERTY(QVariantList detailCells READ detailCells NOTIFY changed)

    // For the route map. Each is undefined when absent: the coordinate when the current
    // row's position is missing or invalid (a GeoCoordinate otherwise), the progress while
    // the duration is 0 (a double 0..1 otherwise), the heading when the current row's
    // "heading_deg" does not parse (degrees, not normalised, otherwise).
    Q_PROPERTY(QVariant currentCoordinate READ currentCoordinate NOTIFY changed)
    Q_PROPERTY(QVariant routeProgress READ routeProgress NOTIFY changed)
    Q_PROPERTY(QVariant currentHeading READ currentHeading NOTIFY changed)

public:
    // What the readout is computed from; the table must outlive the next update.
    struct Inputs {
        const analysis::TelemetryTable* table = nullptr;
        double playbackTime = 0.0;
        double playbackDuration = 0.0;
        double tripTime = 0.0;
        double tripDuration = 0.0;
        bool useMilesPerHour = false;
    };

    explicit TelemetryReadout(QObject* parent = nullptr);

    // The detail grid's columns, in order.
    static const QStringList& detailKeys();

    bool hasRow() const { return hasRow_; }
    int rowIndex() const { return rowIndex_; }
    QString gearLetter() const { return overlay_.gearLetter; }
    QString speedText() const { return overlay_.speedText; }
    QString speedUnit() const { return overlay_.speedUnit; }
    double steeringDegrees() const { return overlay_.steeringDegrees; }
    double steeringRadians() const { return overlay_.steeringRadians; }
    double pedalFraction() const { return overlay_.pedal; }
    bool brakeOn() const { return overlay_.brakeOn; }
    bool showsAssistBadge() const { return overlay_.showsAssistBadge; }
    QString assistBadgeText() const { return overlay_.assistBadgeText; }
    QString gearTooltip() const { return overlay_.gearTooltip; }
    QString speedTooltip() const { return overlay_.speedTooltip; }
    QString steeringTooltip() const { return overlay_.steeringTooltip; }
    QString pedalTooltip() const { return overlay_.pedalTooltip; }
    QString brakeTooltip() const { return overlay_.brakeTooltip; }
    QString assistTooltip() const { return overlay_.assistTooltip; }
    QVariantList metricCards() const;
    QVariantList detailCells() const;
    QVariant currentCoordinate() const;
    QVariant routeProgress() const;
    QVariant currentHeading() const;

    // The same values as C++ data.
    const telemetry::Overlay& overlay() const { return overlay_; }
    const QList<telemetry::MetricCard>& cards() const { return cards_; }
    const QList<telemetry::DetailCell>& cells() const { return cells_; }
    const std::optional<GeoCoordinate>& coordinate() const { return coordinate_; }
    const std::optional<double>& progress() const { return progress_; }
    const std::optional<double>& heading() const { return heading_; }

    // Recomputes from `inputs`; `changed` fires when a value differs.
    void update(const Inputs& inputs);

signals:
    void changed();

private:
    bool hasRow_ = false;
    int rowIndex_ = 0;
    telemetry::Overlay overlay_;
    QList<telemetry::MetricCard> cards_;
    QList<telemetry::DetailCell> cells_;
    std::optional<GeoCoordinate> coordinate_;
    std::optional<double> progress_;
    std::optional<double> heading_;
};
