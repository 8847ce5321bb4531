// Tile fetching against a local HTTP server: each tile fetched once, few at a time, kept on
// disk for offline use, failures remembered; and the map item asking only for what it shows.
#include "TileLayer.h"
#include "RouteMapView.h"
#include "TileServer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<TileKey> someTiles() {
    QList<TileKey> keys;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            keys.append({3, x, y});
    return keys;
}

TEST(TileConfiguration, TheTemplateComesFromThePropertyThenTheEnvironment) {
    // Set for this whole program, so no test can reach the default server.
    const QString configured = TileLayer::configuredUrlTemplate();
    EXPECT_TRUE(configured.startsWith("http://127.0.0.1:")) << configured.toStdString();
    RouteMapView view;
    EXPECT_EQ(view.tileUrlTemplate(), configured);
    view.setTileUrlTemplate("http://127.0.0.1:1/t/{z}/{x}/{y}.png");
    EXPECT_EQ(view.tileUrlTemplate(), "http://127.0.0.1:1/t/{z}/{x}/{y}.png");
    view.resetTileUrlTemplate();
    EXPECT_EQ(view.tileUrlTemplate(), configured);
}

class TileLayerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cacheDir.isValid());
        ASSERT_TRUE(server.start());
    }

    QTemporaryDir cacheDir;
    TileServer server;
};

TEST_F(TileLayerTest, FetchesEachTileOnceAndServesItOfflineFromDisk) {
    server.setAnswerDelayMs(40);
    const QList<TileKey> keys = someTiles();
    {
        TileLayer layer(cacheDir.path());
        layer.setUrlTemplate(server.urlTemplate());
        QSignalSpy loaded(&layer, &TileLayer::tileLoaded);
        layer.request(keys);
        layer.request(keys); // asked again while in flight: not fetched twice
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == keys.size(); }));
        EXPECT_EQ(server.requestCount(), keys.size());
        EXPECT_LE(server.maxOpenRequests(), 4);
        EXPECT_GT(server.maxOpenRequests(), 0);
        for (const TileKey& key : keys)
            EXPECT_EQ(layer.tile(key).pixelColor(10, 10), TileServer::tileColor());
        layer.request(keys); // in memory
        EXPECT_EQ(layer.requestsStarted(), keys.size());
        ASSERT_FALSE(server.userAgents().isEmpty());
        EXPECT_TRUE(server.userAgents().first().startsWith("VeldrinStudio/"));
    }
    QTest::qWait(50); // let the aborted or finished connections settle
    server.stop();

    TileLayer offline(cacheDir.path());
    offline.setUrlTemplate(server.urlTemplate());
    QSignalSpy loaded(&offline, &TileLayer::tileLoaded);
    offline.request(keys);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == keys.size(); }));
    EXPECT_EQ(server.requestCount(), keys.size());
    EXPECT_FALSE(offline.tile(keys.first()).isNull());
}

TEST_F(TileLayerTest, RemembersFailuresInsteadOfRetrying) {
    server.setMissingPaths({"/2/1/1.png"});
    TileLayer layer(cacheDir.path());
    layer.setUrlTemplate(server.urlTemplate());
    layer.request({{2, 1, 1}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return layer.inFlightCount() == 0; }));
    EXPECT_TRUE(layer.tile({2, 1, 1}).isNull());
    layer.request({{2, 1, 1}});
    EXPECT_EQ(layer.requestsStarted(), 1);
    EXPECT_EQ(server.requestCount(), 1);

    // No server at all: the request fails quickly and is not repeated.
    server.stop();
    layer.request({{2, 0, 0}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return layer.inFlightCount() == 0; }));
    layer.request({{2, 0, 0}});
    EXPECT_EQ(layer.requestsStarted(), 2);
}

TEST_F(TileLayerTest, TheMapAsksForTheTilesInViewOnce) {
    RouteMapView view;
    view.setSize(QSizeF(300, 170));
    view.setTileUrlTemplate(server.urlTemplate());
    view.setCoordinates({{47.0, 8.0}, {47.01, 8.02}});
    view.updateMap();

    const int zoom = tiles::zoomLevelForScale(view.viewport().pixelsPerMapPoint());
    const QList<TileKey> inView = tiles::tilesCovering(view.visibleMapRect(), zoom);
    ASSERT_FALSE(inView.isEmpty());

    QImage image(300, 170, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        QPainter painter(&image);
        view.paint(&painter);
    };
    paint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestCount() == inView.size(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.tileLayer()->inFlightCount() == 0; }));
    paint();
    paint();
    EXPECT_EQ(server.requestCount(), inView.size());
    EXPECT_EQ(QSet<QString>(server.paths().begin(), server.paths().end()).size(), inView.size());
    // The tiles are drawn: a corner far from the track shows the tile colour.
    EXPECT_EQ(image.pixelColor(5, 5), TileServer::tileColor());
}

} // namespace
