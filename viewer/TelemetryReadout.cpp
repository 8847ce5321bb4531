// The readout's recomputation; see TelemetryReadout.h.
#include "TelemetryReadout.h"

#include "ContentView.h"

namespace {

QString arrowName(telemetry::DetailCell::Arrow arrow) {
    switch (arrow) {
    case telemetry::DetailCell::Arrow::left:
        return QStringLiteral("left");
    case telemetry::DetailCell::Arrow::right:
        return QStringLiteral("right");
    case telemetry::DetailCell::Arrow::none:
        break;
    }
    return QStringLiteral("none");
}

template <typename T> QVariant optionalVariant(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

} // namespace

TelemetryReadout::TelemetryReadout(ContentView* view) : QObject(view), view_(view) {
    for (auto signal : {&ContentView::playbackTimeChanged, &ContentView::playbackDurationChanged,
                        &ContentView::csvHeadersChanged, &ContentView::csvRowsChanged,
                        &ContentView::useMilesPerHourChanged, &ContentView::tripClockChanged})
        connect(view, signal, this, &TelemetryReadout::refresh);
}

void TelemetryReadout::refresh() {
    const std::optional<telemetry::Row> row = view_->currentRow();
    const bool mph = view_->useMilesPerHour();
    const bool hasRow = row.has_value();
    const int rowIndex = hasRow ? static_cast<int>(view_->currentRowIndex()) : 0;
    telemetry::Overlay overlay;
    QList<telemetry::MetricCard> cards;
    QList<telemetry::DetailCell> cells;
    if (row) {
        overlay = telemetry::telemetryOverlay(*row, mph);
        cards = telemetry::metricCards(*row, mph);
        cells = telemetry::detailGrid(*row, ContentView::detailKeys(), view_->playbackTime());
    }
    const std::optional<GeoCoordinate> coordinate = view_->currentRouteCoordinate();
    const std::optional<double> progress = view_->routeProgress();
    const std::optional<double> heading = view_->currentHeading();

    if (hasRow == hasRow_ && rowIndex == rowIndex_ && overlay == overlay_ && cards == cards_ &&
        cells == cells_ && coordinate == coordinate_ && progress == progress_ &&
        heading == heading_)
        return;
    hasRow_ = hasRow;
    rowIndex_ = rowIndex;
    overlay_ = std::move(overlay);
    cards_ = std::move(cards);
    cells_ = std::move(cells);
    coordinate_ = coordinate;
    progress_ = progress;
    heading_ = heading;
    emit changed();
}

QVariantList TelemetryReadout::metricCards() const {
    QVariantList list;
    for (const telemetry::MetricCard& card : cards_)
        list.append(QVariantMap{{QStringLiteral("title"), card.title},
                                {QStringLiteral("value"), card.value}});
    return list;
}

QVariantList TelemetryReadout::detailCells() const {
    QVariantList list;
    for (const telemetry::DetailCell& cell : cells_)
        list.append(QVariantMap{
            {QStringLiteral("key"), cell.key},
            {QStringLiteral("label"), cell.label},
            {QStringLiteral("value"), cell.value},
            {QStringLiteral("arrow"), arrowName(cell.arrow)},
            {QStringLiteral("arrowActive"), cell.arrowActive},
            {QStringLiteral("arrowBright"), cell.arrowBright},
            {QStringLiteral("highlighted"), cell.highlighted},
        });
    return list;
}

QVariant TelemetryReadout::currentCoordinate() const {
    return optionalVariant(coordinate_);
}
QVariant TelemetryReadout::routeProgress() const {
    return optionalVariant(progress_);
}
QVariant TelemetryReadout::currentHeading() const {
    return optionalVariant(heading_);
}
