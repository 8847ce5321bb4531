// The timeline strip; see TimelineItem.h.
#include "TimelineItem.h"

#include "FrameClock.h"
#include "LocalizedString.h"
#include "TelemetryValues.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const char* const kHoverFormat = QT_TRANSLATE_NOOP("Veldrin", "%1 · %2 %3 · Pedal %4%%");
const char* const kHoverBrake = QT_TRANSLATE_NOOP("Veldrin", " · Brake");
const char* const kScaleFormat = QT_TRANSLATE_NOOP("Veldrin", "%d %@");
const QString kNoValue = QStringLiteral("—");
constexpr double kPercent = 100.0;

// Vertical layout, in item units from the top.
constexpr double kMarkRowHeight = 12.0;
constexpr double kBandHeight = 4.0;
constexpr double kBrakeBarHeight = 4.0;
constexpr double kPedalShare = 0.45;
constexpr double kEventMarkRadius = 3.5;
constexpr double kBlinkerTickWidth = 1.5;
constexpr double kSpeedLineWidth = 1.5;
constexpr int kScaleFontPixels = 9;
// The speed axis tops out at the drive's highest speed rounded up to this step (in the unit).
constexpr double kSpeedScaleStep = 20.0;

const QColor kBackground(0, 0, 0, 90);
const QColor kAssistanceBand(10, 132, 255, 200);
const QColor kAssistanceTint(10, 132, 255, 40);
const QColor kBrake(255, 59, 48, 220);
const QColor kBrakeTint(255, 59, 48, 45);
const QColor kPedal(52, 199, 89, 110);
const QColor kSpeed(255, 255, 255, 230);
const QColor kBlinker(255, 204, 0, 230);
const QColor kScaleText(255, 255, 255, 150);

double speedFactor(bool milesPerHour) {
    return milesPerHour ? telemetry::kMilesPerHourPerMps : telemetry::kKilometresPerHourPerMps;
}

} // namespace

TimelineItem::TimelineItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAcceptedMouseButtons(Qt::NoButton);
}

void TimelineItem::setDrive(DriveData* drive) {
    if (drive == drive_)
        return;
    if (drive_)
        disconnect(drive_, nullptr, this, nullptr);
    drive_ = drive;
    if (drive)
        connect(drive, &DriveData::changed, this, &TimelineItem::driveReplaced);
    emit driveChanged();
    driveReplaced();
}

void TimelineItem::driveReplaced() {
    setView(0.0, drive_ ? drive_->duration() : 0.0);
    update();
}

void TimelineItem::setUseMilesPerHour(bool on) {
    if (on == useMilesPerHour_)
        return;
    useMilesPerHour_ = on;
    emit useMilesPerHourChanged();
    update();
}

void TimelineItem::setView(double start, double end) {
    if (start == viewStart_ && end == viewEnd_)
        return;
    viewStart_ = start;
    viewEnd_ = end;
    emit viewChanged();
    update();
}

double TimelineItem::timeAt(double x) const {
    if (!(width() > 0.0))
        return viewStart_;
    return viewStart_ + std::clamp(x / width(), 0.0, 1.0) * (viewEnd_ - viewStart_);
}

double TimelineItem::xAt(double time) const {
    return (time - viewStart_) / (viewEnd_ - viewStart_) * width();
}

void TimelineItem::zoomAt(double x, double factor) {
    const double duration = drive_ ? drive_->duration() : 0.0;
    if (!(duration > 0.0) || !(factor > 0.0))
        return;
    const double anchor = timeAt(x);
    const double span = std::clamp((viewEnd_ - viewStart_) * factor,
                                   std::min(kShortestViewSeconds, duration), duration);
    const double start =
        std::clamp(anchor - std::clamp(x / width(), 0.0, 1.0) * span, 0.0, duration - span);
    setView(start, start + span);
}

void TimelineItem::resetZoom() {
    setView(0.0, drive_ ? drive_->duration() : 0.0);
}

QString TimelineItem::describeAt(double x) const {
    if (!drive_ || !drive_->hasData())
        return QString();
    const analysis::DriveSeries& series = drive_->series();
    const double time = timeAt(x);
    const std::size_t row = *analysis::rowAt(series, time);
    const float speed = series.speed[row];
    const float pedal = series.pedal[row];
    const bool braking =
        std::any_of(series.brake.begin(), series.brake.end(), [time](const analysis::TimeSpan& s) {
            return s.start <= time && time < s.end;
        });
    QString text = localizedString(
        kHoverFormat, DriveData::clockText(time),
        std::isnan(speed) ? kNoValue
                          : QString::number(std::round(speed * speedFactor(useMilesPerHour_))),
        telemetry::unitText(useMilesPerHour_),
        static_cast<int>(std::isnan(pedal) ? 0.0 : std::round(pedal * kPercent)));
    if (braking)
        text += localizedString(kHoverBrake);
    return text;
}

void TimelineItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

void TimelineItem::paint(QPainter* painter) {
    ++paintCount_;
    const double w = width();
    const double h = height();
    painter->fillRect(QRectF(0, 0, w, h), kBackground);
    if (!drive_ || !drive_->hasData() || !(viewEnd_ > viewStart_) || w < 1.0)
        return;
    const analysis::DriveSeries& series = drive_->series();
    const auto columns = static_cast<std::size_t>(std::ceil(w));
    const double plotTop = kMarkRowHeight + kBandHeight;
    const double plotBottom = h - kBrakeBarHeight;
    const double plotHeight = plotBottom - plotTop;
    const auto spanRect = [&](const analysis::TimeSpan& span, double top, double height) {
        const double left = std::max(0.0, xAt(span.start));
        const double right = std::min(w, xAt(span.end));
        return QRectF(left, top, std::max(1.0, right - left), height);
    };

    for (const analysis::StateSpan& span : series.assistance) {
        if (span.span.end < viewStart_ || span.span.start > viewEnd_)
            continue;
        painter->fillRect(spanRect(span.span, kMarkRowHeight, h - kMarkRowHeight), kAssistanceTint);
        painter->fillRect(spanRect(span.span, kMarkRowHeight, kBandHeight), kAssistanceBand);
    }
    for (const analysis::TimeSpan& span : series.brake) {
        if (span.end < viewStart_ || span.start > viewEnd_)
            continue;
        painter->fillRect(spanRect(span, plotTop, plotHeight), kBrakeTint);
        painter->fillRect(spanRect(span, plotBottom, kBrakeBarHeight), kBrake);
    }

    // One column per pixel: its highest pedal as an area, its speed range as a line.
    const double columnWidth = w / static_cast<double>(columns);
    const std::vector<analysis::Envelope> pedal =
        analysis::envelope(series, series.pedal, viewStart_, viewEnd_, columns);
    for (std::size_t c = 0; c < columns; ++c) {
        if (std::isnan(pedal[c].high) || pedal[c].high <= 0.0f)
            continue;
        const double top = plotBottom - pedal[c].high * plotHeight * kPedalShare;
        painter->fillRect(QRectF(c * columnWidth, top, columnWidth, plotBottom - top), kPedal);
    }

    const double factor = speedFactor(useMilesPerHour_);
    const double scaleTop =
        std::max(1.0, std::ceil(series.topSpeed * factor / kSpeedScaleStep)) * kSpeedScaleStep;
    const double perUnit = plotHeight / scaleTop;
    const std::vector<analysis::Envelope> speed =
        analysis::envelope(series, series.speed, viewStart_, viewEnd_, columns);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(kSpeed, kSpeedLineWidth));
    // Each column's lowest then highest speed; a column without one breaks the line.
    QPolygonF run;
    for (std::size_t c = 0; c <= columns; ++c) {
        if (c == columns || std::isnan(speed[c].low)) {
            if (run.size() > 1)
                painter->drawPolyline(run);
            run.clear();
            continue;
        }
        const double x = (c + 0.5) * columnWidth;
        run.append(QPointF(x, plotBottom - speed[c].low * factor * perUnit));
        if (speed[c].high != speed[c].low)
            run.append(QPointF(x, plotBottom - speed[c].high * factor * perUnit));
    }

    painter->setPen(QPen(kBlinker, kBlinkerTickWidth));
    for (const analysis::BlinkerTick& tick : series.blinkers) {
        if (tick.time < viewStart_ || tick.time > viewEnd_)
            continue;
        const double x = xAt(tick.time);
        const double top = tick.left ? kMarkRowHeight : kMarkRowHeight + kBandHeight / 2.0;
        painter->drawLine(QPointF(x, top), QPointF(x, top + kBandHeight / 2.0));
    }

    painter->setPen(Qt::NoPen);
    for (const analysis::DrivingEvent& event : drive_->drivingEvents()) {
        if (event.time < viewStart_ || event.time > viewEnd_)
            continue;
        painter->setBrush(QColor::fromRgb(DriveData::colourOf(event.kind)));
        painter->drawEllipse(QPointF(xAt(event.time), kMarkRowHeight / 2.0), kEventMarkRadius,
                             kEventMarkRadius);
    }

    QFont font = painter->font();
    font.setPixelSize(kScaleFontPixels);
    painter->setFont(font);
    painter->setPen(kScaleText);
    painter->drawText(QRectF(2.0, plotTop, w, plotHeight), Qt::AlignLeft | Qt::AlignTop,
                      localizedString(kScaleFormat, static_cast<int>(scaleTop),
                                      telemetry::unitText(useMilesPerHour_)));
}
