// The route map item (see RouteMapView.h).
#include "RouteMapView.h"

#include "DriveSeries.h"

#include <QFont>
#include <QFontMetricsF>
#include <QJSValue>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMarkRadius = 5.0;
constexpr double kMarkOutlineWidth = 1.5;
constexpr int kMarkTitlePixelSize = 11;
constexpr double kMarkTitleGap = 3.0;
constexpr double kMarkTitleHaloWidth = 3.0;
const QColor kMarkFill{255, 59, 48};
const QColor kMarkTitleColor{30, 30, 30};
constexpr double kCarItemSize = 24.0;
constexpr int kLastColouring = static_cast<int>(RouteColouring::Assistance);
constexpr double kEventPinRadius = 4.0;

QVariant plainVariant(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

bool isAbsent(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

std::optional<double> optionalNumber(const QVariant& input) {
    const QVariant value = plainVariant(input);
    if (isAbsent(value))
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    // A value that is not a finite number cannot place or turn anything.
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<GeoCoordinate> optionalCoordinate(const QVariant& input) {
    const QVariant value = plainVariant(input);
    if (isAbsent(value))
        return std::nullopt;
    GeoCoordinate coordinate;
    if (value.metaType() == QMetaType::fromType<GeoCoordinate>()) {
        coordinate = value.value<GeoCoordinate>();
    } else if (value.canConvert<QVariantMap>()) {
        const QVariantMap map = value.toMap();
        const std::optional<double> latitude =
            optionalNumber(map.value(QStringLiteral("latitude")));
        const std::optional<double> longitude =
            optionalNumber(map.value(QStringLiteral("longitude")));
        if (!latitude || !longitude)
            return std::nullopt;
        coordinate = {*latitude, *longitude};
    } else {
        return std::nullopt;
    }
    if (!analysis::isFix(coordinate.latitude, coordinate.longitude))
        return std::nullopt;
    return coordinate;
}

} // namespace

// The car: painted once, then only moved and turned.
class CarMarkerItem : public QQuickPaintedItem {
public:
    explicit CarMarkerItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
        setSize(QSizeF(kCarItemSize, kCarItemSize));
        setTransformOrigin(QQuickItem::Center);
        setVisible(false);
    }
    void paint(QPainter* painter) override {
        painter->translate(width() / 2.0, height() / 2.0);
        RouteAndCarRenderer::drawCar(*painter);
    }
};

RouteMapView::RouteMapView(QQuickItem* parent)
    : ClickZoomMapView(parent), carItem_(new CarMarkerItem(this)) {
    // The car never shows outside the map.
    setClip(true);
}

void RouteMapView::setDrive(DriveData* drive) {
    if (drive == drive_)
        return;
    if (drive_)
        disconnect(drive_, nullptr, this, nullptr);
    drive_ = drive;
    if (drive)
        connect(drive, &DriveData::changed, this, &RouteMapView::driveReplaced);
    driveReplaced();
}

void RouteMapView::driveReplaced() {
    emit driveChanged();
    colours_.clear();
    invalidateMapLayer();
    requestRepaint();
    inputsChanged();
}

void RouteMapView::setCarTime(double seconds) {
    if (seconds == carTime_ || (std::isnan(seconds) && std::isnan(carTime_)))
        return;
    carTime_ = seconds;
    emit carTimeChanged();
    inputsChanged();
}

void RouteMapView::setColouring(int colouring) {
    const auto value = static_cast<RouteColouring>(std::clamp(colouring, 0, kLastColouring));
    if (value == colouring_)
        return;
    colouring_ = value;
    emit colouringChanged();
    driveReplaced();
}

double RouteMapView::topSpeed() const {
    return drive_ ? drive_->series().topSpeed : 0.0;
}

bool RouteMapView::clickedAt(const QPointF& viewPoint) {
    const RouteAndCarRenderer* renderer = coordinator_.renderer();
    if (!renderer || !drive_)
        return false;
    const std::vector<std::size_t>& rows = drive_->routeRows();
    const QList<mapgeo::MapPoint>& points = renderer->shape().mapPoints();
    if (rows.size() != static_cast<std::size_t>(points.size()))
        return false;
    double nearest = kRouteClickDistance * kRouteClickDistance;
    std::optional<qsizetype> found;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF d = viewport().viewPointForMapPoint(points[i]) - viewPoint;
        const double squared = QPointF::dotProduct(d, d);
        if (squared <= nearest) {
            nearest = squared;
            found = i;
        }
    }
    if (!found)
        return false;
    emit routeTimeClicked(drive_->series().time[rows[static_cast<std::size_t>(*found)]]);
    return true;
}

void RouteMapView::viewportChanged() {
    placeCarItem();
}

void RouteMapView::placeCarItem() {
    const RouteAndCarRenderer* renderer = coordinator_.renderer();
    if (!renderer || !renderer->carCoordinate() || !viewport().isValid()) {
        carItem_->setVisible(false);
        return;
    }
    const QPointF center =
        viewport().viewPointForMapPoint(mapgeo::mapPointForCoordinate(*renderer->carCoordinate()));
    carItem_->setPosition(center - QPointF(carItem_->width() / 2.0, carItem_->height() / 2.0));
    // y grows downwards, so a positive heading turns the marker clockwise.
    carItem_->setRotation(renderer->carHeading());
    carItem_->setVisible(true);
}

void RouteMapView::setRouteIdentity(const QString& identity) {
    if (identity == routeIdentity_)
        return;
    routeIdentity_ = identity;
    emit routeIdentityChanged();
    inputsChanged();
}

void RouteMapView::setCoordinates(const GeoCoordinateList& coordinates) {
    if (coordinates == coordinates_)
        return;
    coordinates_ = coordinates;
    emit coordinatesChanged();
    inputsChanged();
}

void RouteMapView::setCarCoordinate(const QVariant& coordinate) {
    if (coordinate == carCoordinate_)
        return;
    carCoordinate_ = coordinate;
    emit carCoordinateChanged();
    inputsChanged();
}

void RouteMapView::setProgress(const QVariant& progress) {
    if (progress == progress_)
        return;
    progress_ = progress;
    emit progressChanged();
    inputsChanged();
}

void RouteMapView::setHeading(const QVariant& heading) {
    if (heading == heading_)
        return;
    heading_ = heading;
    emit headingChanged();
    inputsChanged();
}

void RouteMapView::setFollowCar(bool follow) {
    if (follow == followCar_)
        return;
    followCar_ = follow;
    emit followCarChanged();
    keepCarInView();
}

void RouteMapView::mapDragged() {
    setFollowCar(false);
}

void RouteMapView::fitRoute() {
    if (coordinator_.renderer())
        showMapRect(routeFitRect(), kFitEdgePadding, true);
}

mapgeo::MapRect RouteMapView::routeFitRect() const {
    mapgeo::MapRect bounds = coordinator_.renderer()->shape().boundingMapRect();
    const mapgeo::MapPoint center = bounds.center();
    bounds.size.width = std::max(bounds.size.width, kMinimumFitSpanMapPoints);
    bounds.size.height = std::max(bounds.size.height, kMinimumFitSpanMapPoints);
    bounds.origin = {center.x - bounds.size.width / 2.0, center.y - bounds.size.height / 2.0};
    return bounds;
}

void RouteMapView::keepCarInView() {
    const RouteAndCarRenderer* renderer = coordinator_.renderer();
    // A running zoom is the user's; the next car move catches up.
    if (!followCar_ || !renderer || !renderer->carCoordinate() || isAnimating())
        return;
    const mapgeo::MapPoint car = mapgeo::mapPointForCoordinate(*renderer->carCoordinate());
    const QRectF inner =
        QRectF(QPointF(0, 0), size())
            .adjusted(kFollowEdgeMargin, kFollowEdgeMargin, -kFollowEdgeMargin, -kFollowEdgeMargin);
    if (!inner.contains(viewport().viewPointForMapPoint(car)))
        centerOn(car);
}

void RouteMapView::inputsChanged() {
    polish();
}

void RouteMapView::updatePolish() {
    updateMap();
}

RouteInputs RouteMapView::currentInputs() const {
    RouteInputs inputs;
    if (!routeIdentity_.isEmpty())
        inputs.routeID = routeIdentity_;
    inputs.coordinates = coordinates_;
    inputs.currentCoordinate = optionalCoordinate(carCoordinate_);
    inputs.currentProgress = optionalNumber(progress_);
    inputs.currentHeading = optionalNumber(heading_);
    if (drive_ && std::isfinite(carTime_)) {
        if (const auto pose = analysis::carPoseAt(drive_->series(), carTime_)) {
            inputs.currentCoordinate = GeoCoordinate{pose->latitude, pose->longitude};
            inputs.currentHeading = pose->heading;
        }
    }
    return inputs;
}

void RouteMapView::updateMap() {
    const Coordinator::Outcome outcome = coordinator_.update(currentInputs());
    if (outcome.rebuilt) {
        colours_.clear();
        invalidateMapLayer();
        showMapRect(routeFitRect(), kFitEdgePadding, false);
        requestRepaint();
    } else if (outcome.carChanged) {
        keepCarInView();
    }
    if (outcome.rebuilt || outcome.carChanged)
        placeCarItem();
}

void RouteMapView::paintMapLayer(QPainter& painter, const mapgeo::MapViewport& viewport) {
    const RouteAndCarRenderer* renderer = coordinator_.renderer();
    if (!renderer)
        return;
    if (colours_.empty() && drive_)
        colours_ = routeColours(*drive_, colouring_, coordinates_.size());
    renderer->drawTrack(painter, viewport, colours_);
    if (!drive_)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, kMarkOutlineWidth));
    for (const analysis::DrivingEvent& event : drive_->drivingEvents()) {
        const std::optional<std::size_t> row = drive_->eventRow(event);
        if (!row)
            continue;
        const analysis::GeoFix& fix = drive_->series().fix[*row];
        painter.setBrush(QColor::fromRgb(DriveData::colourOf(event.kind)));
        painter.drawEllipse(viewport.viewPointForMapPoint(
                                mapgeo::mapPointForCoordinate({fix.latitude, fix.longitude})),
                            kEventPinRadius, kEventPinRadius);
    }
    painter.restore();
}

void RouteMapView::paintMarkerLayer(QPainter& painter, const mapgeo::MapViewport& viewport) {
    if (coordinator_.marks().isEmpty())
        return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(kMarkTitlePixelSize);
    font.setWeight(QFont::DemiBold);
    const QFontMetricsF metrics(font);
    for (const RouteMark& mark : coordinator_.marks()) {
        const QPointF at =
            viewport.viewPointForMapPoint(mapgeo::mapPointForCoordinate(mark.coordinate));
        painter.setPen(QPen(Qt::white, kMarkOutlineWidth));
        painter.setBrush(kMarkFill);
        painter.drawEllipse(at, kMarkRadius, kMarkRadius);

        // A light halo keeps the title readable on any tile.
        const QPointF baseline(at.x() + kMarkRadius + kMarkTitleGap,
                               at.y() + metrics.capHeight() / 2.0);
        QPainterPath title;
        title.addText(baseline, font, mark.title);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(
            QPen(Qt::white, kMarkTitleHaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(title);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kMarkTitleColor);
        painter.drawPath(title);
    }
    painter.restore();
}
