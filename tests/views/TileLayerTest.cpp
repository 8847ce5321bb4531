// Tile fetching against a local HTTP server: each tile fetched once, few at a time, kept on
// disk in a private folder for offline use, failures asked for again later; the attribution
// that goes with each source; and the map asking only for what it shows, at its pixel density.
#include "TileLayer.h"
#include "RouteMapView.h"
#include "TileServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

TEST(TileSource, AnAttributionGoesWithItsOwnSourceOnly) {
    // The whole program points at a closed port (OfflineTiles.cpp).
    const QString offline = qEnvironmentVariable(tilesource::kUrlTemplateEnvironmentVariable);
    qputenv(tilesource::kAttributionEnvironmentVariable, "Tiles by A");
    RouteMapView view; // no paint: nothing is fetched
    EXPECT_EQ(view.tileUrlTemplate(), offline);
    EXPECT_EQ(view.tileAttribution(), "Tiles by A");
    view.setTileUrlTemplate("http://127.0.0.1:2/{z}/{x}/{y}.png");
    EXPECT_EQ(view.tileAttribution(), "");
    view.setTileAttribution("Tiles by B");
    EXPECT_EQ(view.tileAttribution(), "Tiles by B");
    qunsetenv(tilesource::kAttributionEnvironmentVariable);
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

TEST_F(TileLayerTest, FetchesEachTileOnceRetriesFailuresAndServesOfflineFromAPrivateDisk) {
    const int delays[][2] = {{1, 2000}, {2, 4000}, {3, 8000}, {6, 60000}, {4000, 60000}};
    for (const auto& [failures, ms] : delays)
        EXPECT_EQ(TileLayer::retryDelayMs(TileLayer::kRetryBaseDelayMs, failures), ms);

    server.setAnswerDelayMs(40);
    server.setMissingPaths({"/3/3/1.png"});
    QList<TileKey> keys;
    for (int x = 0; x < 8; ++x)
        keys.append({3, x % 4, x / 4});
    const QByteArray cachePath = QFile::encodeName(cacheDir.filePath("cache/tiles"));
    const auto mode = [&] {
        struct stat status {};
        return stat(cachePath.constData(), &status) == 0 ? status.st_mode & 0777 : 0u;
    };
    {
        TileLayer layer(QFile::decodeName(cachePath));
        layer.setUrlTemplate(server.urlTemplate());
        layer.setRetryBaseDelayMs(1000);
        QSignalSpy loaded(&layer, &TileLayer::tileLoaded);
        layer.request(keys);
        layer.request(keys); // asked again while in flight: not fetched twice
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return loaded.size() == keys.size() - 1 && layer.hasFailed(keys.last()); }));
        EXPECT_LE(server.maxOpenRequests(), 4);
        EXPECT_EQ(layer.tile(keys.first()).pixelColor(10, 10), TileServer::tileColor());
        layer.request(keys); // in memory, or failed and still within its delay
        EXPECT_EQ(layer.requestsStarted(), keys.size());
        EXPECT_TRUE(server.userAgents().first().startsWith("VeldrinStudio/"));
    }
    QTest::qWait(50); // let the finished connections settle
    server.stop();

    // The cached tiles tell where the user drove; a folder left open by an older version is
    // closed too.
    EXPECT_EQ(mode(), 0700u);
    ASSERT_EQ(chmod(cachePath.constData(), 0755), 0);
    TileLayer offline(QFile::decodeName(cachePath));
    EXPECT_EQ(mode(), 0700u);
    offline.setUrlTemplate(server.urlTemplate());
    QSignalSpy loaded(&offline, &TileLayer::tileLoaded);
    offline.request(keys); // all but the tile the server never had
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == keys.size() - 1; }));
}

TEST_F(TileLayerTest, TheMapAsksOnceForTheTilesInViewAtItsPixelDensity) {
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        RouteMapView view;
        view.setSize(QSizeF(300, 170));
        view.setTileUrlTemplate(server.urlTemplate());
        view.setCoordinates({{47.0, 8.0}, {47.01, 8.02}});
        view.updateMap();
        // One tile pixel per device pixel.
        const int zoom = tiles::zoomLevelForScale(view.viewport().pixelsPerMapPoint() * ratio);
        const QList<TileKey> inView = tiles::tilesCovering(view.visibleMapRect(), zoom);
        const qsizetype before = server.requestCount();

        QImage image(QSize(300, 170) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        const auto paint = [&] {
            QPainter painter(&image);
            view.paint(&painter);
        };
        paint();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return server.requestCount() == before + inView.size(); }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.tileLayer()->inFlightCount() == 0; }));
        paint();
        paint();
        const QStringList paths = server.paths().mid(before);
        EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()).size(), inView.size());
        EXPECT_TRUE(paths.first().startsWith(QString("/%1/").arg(zoom)));
        // Tiles drawn everywhere, no attribution for this server until it is given one.
        const QPoint corner(image.width() - 2, image.height() - 2);
        EXPECT_EQ(image.pixelColor(5, 5), TileServer::tileColor());
        EXPECT_EQ(image.pixelColor(corner), TileServer::tileColor());
        view.setTileAttribution("Tiles by A");
        paint();
        EXPECT_NE(image.pixelColor(corner), TileServer::tileColor());
    }
}

} // namespace
