// Interpretation of one telemetry row for display: the row picked by the playback clock,
// number and flag parsing, display texts with placeholders, and the values of the overlay,
// the metric cards and the detail grid. Plain functions over the table; no state.
#pragma once

#include "TelemetryTable.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace telemetry {

inline constexpr double kKilometresPerHourPerMps = 3.6;
inline constexpr double kMilesPerHourPerMps = 2.236936;
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

// "km/h" or "mph".
QString unitText(bool useMilesPerHour);

// Row index shown at `playbackTime`: rows spread evenly over the duration; 0 without rows or
// without a positive duration.
qsizetype currentRowIndex(qsizetype rowCount, double playbackTime, double playbackDuration);

// The engine's column of `field` as a Qt string.
QString columnKey(analysis::Field field);

// One row of the table: texts by column name, numbers by field as the table read them. A name
// that occurs twice reads the later column; a missing name or a missing cell reads as the
// empty text.
class Row {
public:
    // `row` must be a row of `table`.
    Row(const analysis::TelemetryTable& table, qsizetype row) : table_(&table), row_(row) {}
    QString value(QStringView key) const;
    QString value(analysis::Field field) const;
    std::optional<double> number(analysis::Field field) const;
    // The whole row as a map, as the current row is defined.
    QHash<QString, QString> toHash() const;

private:
    QString cellText(std::size_t column) const;
    const analysis::TelemetryTable* table_;
    qsizetype row_;
};

// The current row, or nothing without headers or rows.
std::optional<Row> currentRow(const analysis::TelemetryTable& table, double playbackTime,
                              double playbackDuration);

// The whole text as one C-locale strtod number (no surrounding space), or nothing.
std::optional<double> parseNumber(QStringView text);
// "true", "1", "yes" or the translated "True", after trimming and lower-casing.
bool isTrue(QStringView text);
// Trims tabs, space separators and line breaks from both ends.
QStringView trimmed(QStringView text);

QString displayValue(QStringView key, const Row& row);
QString localizedDisplayValue(QStringView key, const Row& row);
// "vehicle_speed_mps" -> "Vehicle Speed Mps", translated.
QString detailLabel(QStringView key);

// The gauges strip drawn over the video.
struct Overlay {
    double speed = 0;  // in the chosen unit
    QString speedText; // "%.0f" without a locale, e.g. "36"
    QString speedUnit; // "km/h" or "mph"
    double steeringDegrees = 0;
    double steeringRadians = 0; // positive turns clockwise on screen
    double pedal = 0;           // 0..1
    bool brakeOn = false;
    QString gearLetter; // "D", "P", "R", "N", a number, or "—"
    QString assist;     // navark_state display value, "IDLE" when empty
    bool showsAssistBadge = false;
    QString assistBadgeText; // "NVG" for FULL_GUIDE, else the translated state
    QString gearTooltip;
    QString speedTooltip;
    QString steeringTooltip;
    QString pedalTooltip;
    QString brakeTooltip;
    QString assistTooltip;
    friend bool operator==(const Overlay&, const Overlay&) = default;
};
Overlay telemetryOverlay(const Row& row, bool useMilesPerHour);

struct MetricCard {
    QString title;
    QString value;
    friend bool operator==(const MetricCard&, const MetricCard&) = default;
};
// Speed, Steering, Gear, NV.
QList<MetricCard> metricCards(const Row& row, bool useMilesPerHour);

struct DetailCell {
    enum class Arrow { none, left, right };
    QString key;
    QString label;
    QString value;
    Arrow arrow = Arrow::none;
    bool arrowActive = false; // the blinker is on (yellow)
    bool arrowBright = false; // active and in the lit half of its one-second blink
    bool highlighted = false; // brake applied
    friend bool operator==(const DetailCell&, const DetailCell&) = default;
};
// One cell per detail key, in order; the blink phase comes from `playbackTime`.
QList<DetailCell> detailGrid(const Row& row, const QStringList& detailKeys, double playbackTime);

} // namespace telemetry
