// The readout's recomputation; see TelemetryReadout.h.
#include "TelemetryReadout.h"

#include "RouteTrack.h"

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

TelemetryReadout::TelemetryReadout(QObject* parent) : QObject(parent) {}

const QStringList& TelemetryReadout::detailKeys() {
    using analysis::Field;
    static const QStringList keys = [] {
        QStringList names;
        for (const Field field :
             {Field::Pedal, Field::Assistance, Field::BlinkerLeft, Field::BlinkerRight,
              Field::Brake, Field::FrameSequence, Field::Speed, Field::Steering, Field::Latitude,
              Field::Longitude, Field::Heading, Field::AccelerationX, Field::AccelerationY,
              Field::AccelerationZ})
            names.append(telemetry::columnKey(field));
        return names;
    }();
    return keys;
}

void TelemetryReadout::update(const Inputs& in) {
    static const analysis::TelemetryTable kNoTable;
    const analysis::TelemetryTable& table = in.table ? *in.table : kNoTable;
    const std::optional<telemetry::Row> row =
        telemetry::currentRow(table, in.playbackTime, in.playbackDuration);
    const bool hasRow = row.has_value();
    const int rowIndex =
        hasRow
            ? static_cast<int>(telemetry::currentRowIndex(static_cast<qsizetype>(table.rowCount()),
                                                          in.playbackTime, in.playbackDuration))
            : 0;
    telemetry::Overlay overlay;
    QList<telemetry::MetricCard> cards;
    QList<telemetry::DetailCell> cells;
    std::optional<GeoCoordinate> coordinate;
    std::optional<double> heading;
    if (row) {
        overlay = telemetry::telemetryOverlay(*row, in.useMilesPerHour);
        cards = telemetry::metricCards(*row, in.useMilesPerHour);
        cells = telemetry::detailGrid(*row, detailKeys(), in.playbackTime);
        coordinate = route::coordinateFrom(row->number(analysis::Field::Latitude),
                                           row->number(analysis::Field::Longitude));
        heading = row->number(analysis::Field::Heading);
    }
    // A trip's car moves along the whole trip's route.
    const std::optional<double> progress =
        in.tripDuration > 0 ? route::routeProgress(in.tripTime, in.tripDuration)
                            : route::routeProgress(in.playbackTime, in.playbackDuration);

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
