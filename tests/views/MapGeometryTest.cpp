// Web-Mercator geometry, the walk along a route and tile arithmetic.
#include "MapGeometry.h"
#include "RouteShape.h"
#include "TileMath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mapgeo;

namespace {

struct KnownPoint {
    GeoCoordinate coordinate;
    MapPoint point;
};

TEST(MapGeometry, CoordinatesAndMapPointsMatchKnownValues) {
    const KnownPoint table[] = {
        {{0.0, 0.0}, {134217728.0, 134217728.0}},
        {{0.0, -180.0}, {0.0, 134217728.0}},
        {{45.0, 0.0}, {134217728.0, 96562954.31894988}},
        {{kMaxMercatorLatitude, 0.0}, {134217728.0, 0.0}},
    };
    for (const KnownPoint& known : table) {
        SCOPED_TRACE(testing::Message()
                     << known.coordinate.latitude << "," << known.coordinate.longitude);
        const MapPoint point = mapPointForCoordinate(known.coordinate);
        EXPECT_NEAR(point.x, known.point.x, 1e-3);
        EXPECT_NEAR(point.y, known.point.y, 1e-3);
        const GeoCoordinate back = coordinateForMapPoint(point);
        EXPECT_NEAR(back.latitude, known.coordinate.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, known.coordinate.longitude, 1e-9);
    }
    // Beyond the projection's edge the poles land on the world's border, not at infinity.
    EXPECT_NEAR(mapPointForCoordinate({90.0, 0.0}).y, 0.0, 1e-3);
    EXPECT_NEAR(mapPointForCoordinate({-90.0, 0.0}).y, kWorldMapPoints, 1e-3);
}

// Paris to London: the great circle on the mean Earth radius.
TEST(MapGeometry, MetersBetweenCitiesFollowTheGreatCircle) {
    const double meters = metersBetweenMapPoints(mapPointForCoordinate({48.8566, 2.3522}),
                                                 mapPointForCoordinate({51.5074, -0.1278}));
    EXPECT_NEAR(meters, 343556.5, 343556.5 * 0.005);
}

TEST(RouteProgress, WalksTheTrackByMeters) {
    // Three points on the equator: the first segment is twice as long as the second.
    const GeoCoordinateList track{{0.0, 0.0}, {0.0, 2.0}, {0.0, 3.0}};
    struct Case {
        double progress;
        std::optional<GeoCoordinate> expected;
    };
    const Case table[] = {
        {-0.5, GeoCoordinate{0.0, 0.0}}, {2.0 / 3.0, GeoCoordinate{0.0, 2.0}},
        {0.5, GeoCoordinate{0.0, 1.5}},  {7.0, GeoCoordinate{0.0, 3.0}},
        {std::nan(""), std::nullopt},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.progress);
        const std::optional<GeoCoordinate> at = coordinateAtProgress(track, c.progress);
        ASSERT_EQ(at.has_value(), c.expected.has_value());
        if (!at)
            continue;
        EXPECT_NEAR(at->latitude, c.expected->latitude, 1e-9);
        EXPECT_NEAR(at->longitude, c.expected->longitude, 1e-9);
    }
}

TEST(RouteProgress, DegenerateTracks) {
    EXPECT_FALSE(coordinateAtProgress({}, 0.5).has_value());
    // One point, or all points equal (total length 0): that point for any progress.
    const GeoCoordinate only{12.5, -3.25};
    for (double progress : {-1.0, 0.0, 0.4, 0.99, 2.0}) {
        EXPECT_EQ(coordinateAtProgress({only}, progress), only);
        EXPECT_EQ(coordinateAtProgress({only, only, only}, progress), only);
    }
    // A repeated point inside the track is a zero-length segment the walk passes through.
    const GeoCoordinateList repeated{{0.0, 0.0}, {0.0, 1.0}, {0.0, 1.0}, {0.0, 2.0}};
    EXPECT_NEAR(coordinateAtProgress(repeated, 0.75)->longitude, 1.5, 1e-9);
}

TEST(TileMath, CoveringTilesParentsAndLevels) {
    EXPECT_EQ(tiles::zoomLevelForScale(256.0 / kWorldMapPoints), 0);
    EXPECT_EQ(tiles::zoomLevelForScale(1.0), tiles::kMaxZoom);
    EXPECT_EQ(tiles::zoomLevelForScale(0.0), 0);

    // A rectangle straddling the four tiles around the centre at level 1.
    const double half = kWorldMapPoints / 2.0;
    EXPECT_EQ(tiles::tilesCovering({{half - 10, half - 10}, {20, 20}}, 1),
              (QList<TileKey>{{1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {1, 1, 1}}));
    // Outside the world nothing is asked for.
    EXPECT_TRUE(tiles::tilesCovering({{-100, -100}, {50, 50}}, 3).isEmpty());

    EXPECT_EQ(tiles::parentTile({5, 11, 6}), (TileKey{4, 5, 3}));
}

} // namespace
