// A geographic position in degrees, as the route and the map exchange it.
#pragma once

#include <QList>
#include <QMetaType>

struct GeoCoordinate {
    Q_GADGET
    Q_PROPERTY(double latitude MEMBER latitude)
    Q_PROPERTY(double longitude MEMBER longitude)

public:
    double latitude = 0.0;
    double longitude = 0.0;

    friend bool operator==(const GeoCoordinate&, const GeoCoordinate&) = default;
};

using GeoCoordinateList = QList<GeoCoordinate>;
