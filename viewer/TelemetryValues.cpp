// Telemetry row interpretation; see TelemetryValues.h.
#include "TelemetryValues.h"

#include "LocalizedString.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>

namespace telemetry {
namespace {

constexpr QStringView kEmDash = u"\u2014";
using analysis::Field;
constexpr QStringView kIdleAssist = u"IDLE";
constexpr QStringView kFullGuideAssist = u"FULL_GUIDE";
constexpr QStringView kFullGuideBadge = u"NVG";
constexpr QStringView kFalseFlag = u"False";
constexpr QStringView kKilometresPerHour = u"km/h";
constexpr QStringView kMilesPerHour = u"mph";
constexpr double kPedalPercent = 100.0;
constexpr QStringView kDegreeSign = u"\u00B0";

const char* const kTrueKey = QT_TRANSLATE_NOOP("Veldrin", "True");
const char* const kGearTooltip = QT_TRANSLATE_NOOP("Veldrin", "Current gear: %1");
const char* const kSpeedTooltip = QT_TRANSLATE_NOOP("Veldrin", "Switch between km/h and mph");
const char* const kSteeringTooltip = QT_TRANSLATE_NOOP("Veldrin", "Steering angle: %.1f°");
const char* const kPedalTooltip = QT_TRANSLATE_NOOP("Veldrin", "Accelerator pedal: %1%%");
const char* const kBrakeOnTooltip = QT_TRANSLATE_NOOP("Veldrin", "Brake applied");
const char* const kBrakeOffTooltip = QT_TRANSLATE_NOOP("Veldrin", "Brake not applied");
const char* const kAssistTooltip = QT_TRANSLATE_NOOP("Veldrin", "Driver assistance: %1");
const char* const kSpeedTitle = QT_TRANSLATE_NOOP("Veldrin", "Speed");
const char* const kSteeringTitle = QT_TRANSLATE_NOOP("Veldrin", "Steering");
const char* const kGearTitle = QT_TRANSLATE_NOOP("Veldrin", "Gear");
const char* const kAssistTitle = QT_TRANSLATE_NOOP("Veldrin", "NV");

struct Replacement {
    QStringView from;
    QStringView to;
};
constexpr Replacement kGearNames[] = {
    {u"GEAR_DRIVE", u"DRIVE"},
    {u"GEAR_PARK", u"PARK"},
    {u"GEAR_REVERSE", u"REVERSE"},
    {u"GEAR_NEUTRAL", u"NEUTRAL"},
};
constexpr Replacement kGearLetters[] = {
    {u"DRIVE", u"D"},
    {u"PARK", u"P"},
    {u"REVERSE", u"R"},
    {u"NEUTRAL", u"N"},
};
// Fields whose display values are translation keys.
constexpr Field kLocalizedValueFields[] = {Field::Gear, Field::Assistance, Field::BlinkerLeft,
                                           Field::BlinkerRight, Field::Brake};

bool isKeyOf(QStringView key, Field field) {
    const std::string_view name = analysis::columnName(field);
    return key == QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
}

QString tr(const char* key) {
    return localizedString(QString::fromUtf8(key));
}

bool isTrimmable(QChar c) {
    const char16_t u = c.unicode();
    if (u == u' ' || u == u'\t' || (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 ||
        u == 0x2029)
        return true;
    return u >= 0x80 && c.category() == QChar::Separator_Space;
}

double speedIn(const Row& row, bool useMilesPerHour) {
    const double mps = row.number(Field::Speed).value_or(0.0);
    return mps * (useMilesPerHour ? kMilesPerHourPerMps : kKilometresPerHourPerMps);
}

} // namespace

QString unitText(bool useMilesPerHour) {
    return (useMilesPerHour ? kMilesPerHour : kKilometresPerHour).toString();
}

qsizetype currentRowIndex(qsizetype rowCount, double playbackTime, double playbackDuration) {
    if (rowCount <= 0 || !(playbackDuration > 0))
        return 0;
    double p = playbackTime / playbackDuration;
    // A NaN time counts as the start, like a negative one.
    p = (p > 0) ? std::min(p, 1.0) : 0.0;
    const auto i = static_cast<qsizetype>(std::trunc(static_cast<double>(rowCount) * p));
    return std::min(i, rowCount - 1);
}

QString columnKey(Field field) {
    const std::string_view name = analysis::columnName(field);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

namespace {

// Whether a UTF-8 header names `key`; ASCII, as every column name is, is compared unit by unit,
// which the readout's many lookups a frame need to be cheap.
bool headerIs(const std::string& header, QStringView key) {
    if (header.size() == std::size_t(key.size())) {
        std::size_t i = 0;
        for (; i < header.size() && static_cast<unsigned char>(header[i]) < 0x80; ++i) {
            if (char16_t(header[i]) != key[qsizetype(i)].unicode())
                return false;
        }
        if (i == header.size())
            return true;
    }
    return QAnyStringView::equal(
        QUtf8StringView(header.data(), static_cast<qsizetype>(header.size())), key);
}

} // namespace

QString Row::value(QStringView key) const {
    // The table's column rule (a later duplicate wins), without a conversion per call.
    const std::vector<std::string>& headers = table_->headers();
    for (std::size_t column = headers.size(); column-- > 0;) {
        if (headerIs(headers[column], key))
            return cellText(column);
    }
    return QString();
}

QString Row::value(Field field) const {
    return cellText(table_->column(field));
}

QString Row::cellText(std::size_t column) const {
    const std::string_view cell = table_->cell(static_cast<std::size_t>(row_), column);
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

std::optional<double> Row::number(Field field) const {
    return table_->number(field, static_cast<std::size_t>(row_));
}

QHash<QString, QString> Row::toHash() const {
    QHash<QString, QString> map;
    const std::vector<std::string>& headers = table_->headers();
    for (std::size_t j = 0; j < headers.size(); ++j) {
        const std::string_view cell = table_->cell(static_cast<std::size_t>(row_), j);
        map.insert(QString::fromStdString(headers[j]),
                   QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())));
    }
    return map;
}

std::optional<Row> currentRow(const analysis::TelemetryTable& table, double playbackTime,
                              double playbackDuration) {
    if (table.headers().empty() || table.rowCount() == 0)
        return std::nullopt;
    const auto rows = static_cast<qsizetype>(table.rowCount());
    return Row(table, currentRowIndex(rows, playbackTime, playbackDuration));
}

std::optional<double> parseNumber(QStringView text) {
    QVarLengthArray<char, 64> bytes(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == 0 || c > 0x7F)
            return std::nullopt;
        bytes[i] = static_cast<char>(c);
    }
    return analysis::parseNumber(std::string_view(bytes.data(), bytes.size()));
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool isTrue(QStringView text) {
    const QString v = trimmed(text).toString().toLower();
    return v == u"true" || v == u"1" || v == u"yes" || v == tr(kTrueKey).toLower();
}

QString displayValue(QStringView key, const Row& row) {
    const QString text = row.value(key);
    const QStringView v = trimmed(text);
    if (v.isEmpty()) {
        if (isKeyOf(key, Field::Assistance))
            return kIdleAssist.toString();
        if (isKeyOf(key, Field::BlinkerLeft) || isKeyOf(key, Field::BlinkerRight) ||
            isKeyOf(key, Field::Brake))
            return kFalseFlag.toString();
        return kEmDash.toString();
    }
    if (isKeyOf(key, Field::Gear)) {
        for (const Replacement& gear : kGearNames)
            if (v == gear.from)
                return gear.to.toString();
    }
    return v.toString();
}

QString localizedDisplayValue(QStringView key, const Row& row) {
    QString value = displayValue(key, row);
    if (std::any_of(std::begin(kLocalizedValueFields), std::end(kLocalizedValueFields),
                    [key](Field field) { return isKeyOf(key, field); }))
        return localizedString(value);
    return value;
}

QString detailLabel(QStringView key) {
    QString label;
    label.reserve(key.size());
    bool wordStart = true;
    for (QChar c : key) {
        if (c == u'_') {
            label += u' ';
            wordStart = true;
            continue;
        }
        label += wordStart ? c.toUpper() : c.toLower();
        wordStart = c == u' ';
    }
    return localizedString(label);
}

Overlay telemetryOverlay(const Row& row, bool useMilesPerHour) {
    Overlay o;
    o.speed = speedIn(row, useMilesPerHour);
    o.steeringDegrees = row.number(Field::Steering).value_or(0.0);
    if (const std::optional<double> pedal = row.number(Field::Pedal)) {
        const double fraction = *pedal / kPedalPercent;
        o.pedal = fraction > 0 ? std::min(fraction, 1.0) : 0.0;
    }
    o.brakeOn = isTrue(row.value(Field::Brake));
    const QString gear = displayValue(columnKey(Field::Gear), row);
    o.gearLetter = gear;
    for (const Replacement& letter : kGearLetters)
        o.gearLetter.replace(letter.from.toString(), letter.to.toString());
    o.assist = displayValue(columnKey(Field::Assistance), row);

    o.speedText = formatCNumber(o.speed, 'f', 0);
    o.speedUnit = unitText(useMilesPerHour);
    o.steeringRadians = o.steeringDegrees * kRadiansPerDegree;
    o.showsAssistBadge = o.assist != kIdleAssist;
    const QString localizedAssist = localizedString(o.assist);
    o.assistBadgeText = o.assist == kFullGuideAssist ? kFullGuideBadge.toString() : localizedAssist;
    o.gearTooltip = localizedString(QString::fromUtf8(kGearTooltip), localizedString(gear));
    o.speedTooltip = tr(kSpeedTooltip);
    o.steeringTooltip = localizedString(QString::fromUtf8(kSteeringTooltip), o.steeringDegrees);
    o.pedalTooltip = localizedString(QString::fromUtf8(kPedalTooltip),
                                     static_cast<qlonglong>(std::trunc(o.pedal * kPedalPercent)));
    o.brakeTooltip = tr(o.brakeOn ? kBrakeOnTooltip : kBrakeOffTooltip);
    o.assistTooltip = localizedString(QString::fromUtf8(kAssistTooltip), localizedAssist);
    return o;
}

QList<MetricCard> metricCards(const Row& row, bool useMilesPerHour) {
    const double speed = speedIn(row, useMilesPerHour);
    const double steering = row.number(Field::Steering).value_or(0.0);
    return {
        {tr(kSpeedTitle), formatCNumber(speed, 'f', 1) + u' ' + unitText(useMilesPerHour)},
        {tr(kSteeringTitle), formatCNumber(steering, 'f', 1) + kDegreeSign.toString()},
        {tr(kGearTitle), localizedString(displayValue(columnKey(Field::Gear), row))},
        {tr(kAssistTitle), localizedString(displayValue(columnKey(Field::Assistance), row))},
    };
}

QList<DetailCell> detailGrid(const Row& row, const QStringList& detailKeys, double playbackTime) {
    // The blink phase: whole half-seconds of playback; a time outside int64 counts as lit.
    const double halfSeconds = std::trunc(playbackTime * 2);
    const bool litPhase = !(std::isfinite(halfSeconds) && std::fabs(halfSeconds) < 0x1p63) ||
                          static_cast<long long>(halfSeconds) % 2 == 0;
    QList<DetailCell> cells;
    cells.reserve(detailKeys.size());
    for (const QString& key : detailKeys) {
        DetailCell cell;
        cell.key = key;
        cell.label = detailLabel(key);
        cell.value = localizedDisplayValue(key, row);
        const bool on = isTrue(cell.value);
        const bool left = isKeyOf(key, Field::BlinkerLeft);
        if (left || isKeyOf(key, Field::BlinkerRight)) {
            cell.arrow = left ? DetailCell::Arrow::left : DetailCell::Arrow::right;
            cell.arrowActive = on;
            cell.arrowBright = on && litPhase;
        }
        cell.highlighted = isKeyOf(key, Field::Brake) && on;
        cells.append(cell);
    }
    return cells;
}

} // namespace telemetry
