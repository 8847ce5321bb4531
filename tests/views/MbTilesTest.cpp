// Maps from a local MBTiles file: TMS rows, enlargement past the deepest level, the file's
// attribution, the drawn map, bad files giving way to the online source, and which source
// wins among command line, environment and settings.
#include "MbTiles.h"
#include "MbTilesWriter.h"
#include "RouteMapView.h"
#include "Settings.h"
#include "TileLayer.h"
#include "TileServer.h"
#include "TileSource.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

const QColor kRed(200, 0, 0), kGreen(0, 160, 0), kBlue(0, 0, 200), kYellow(220, 220, 0);

class MbTilesTest : public testing::Test {
protected:
    QString writeFile(const MbTilesMetadata& metadata) {
        const QString path = dir.filePath("map.mbtiles");
        // North-west tile split in two; north-east (Europe) blue; south ones yellow.
        EXPECT_TRUE(writeMbTiles(path, metadata,
                                 {{{0, 0, 0}, tileImage(kYellow)},
                                  {{1, 0, 0}, tileImage(kRed, kGreen)},
                                  {{1, 1, 0}, tileImage(kBlue)},
                                  {{1, 0, 1}, tileImage(kYellow)},
                                  {{1, 1, 1}, tileImage(kYellow)}}));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(MbTilesTest, TilesComeInXyzRowsEnlargedBeyondTheDeepestLevelAndTheMapDrawsThem) {
    TileLayer layer(dir.filePath("cache"));
    layer.setUrlTemplate(writeFile({{"format", "png"}, {"attribution", "Test Maps"}}));
    const QList<std::pair<TileKey, QColor>> expected = {
        {{1, 1, 0}, kBlue},  {{1, 0, 1}, kYellow}, {{2, 0, 0}, kRed},
        {{2, 1, 0}, kGreen}, {{3, 3, 1}, kGreen},  {{12, 2139, 1438}, kBlue}};
    QList<TileKey> keys;
    for (const auto& [key, colour] : expected)
        keys.append(key);
    QSignalSpy loaded(&layer, &TileLayer::tileLoaded);
    layer.request(keys);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == keys.size(); }));
    for (const auto& [key, colour] : expected)
        EXPECT_EQ(layer.tile(key).pixelColor(128, 128), colour) << key.zoom << key.x << key.y;
    EXPECT_EQ(layer.attribution(), "Test Maps");

    RouteMapView view;
    view.setSize(QSizeF(300, 170));
    view.setTileUrlTemplate(layer.urlTemplate());
    view.setCoordinates({{47.0, 8.0}, {47.01, 8.02}});
    view.updateMap();
    QImage image(300, 170, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        QPainter painter(&image);
        view.paint(&painter);
    };
    paint();
    const TileLayer& tiles = *view.tileLayer();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return tiles.requestsStarted() > 0 && tiles.inFlightCount() == 0; }));
    paint();
    EXPECT_EQ(image.pixelColor(5, 5), kBlue);
}

TEST_F(MbTilesTest, ABadFileSaysWhyAndTheOnlineMapIsShown) {
    TileServer server;
    ASSERT_TRUE(server.start());
    const struct {
        QString path;
        const char* message;
    } table[] = {
        {dir.filePath("absent.mbtiles"), MbTilesReader::kMissingFileMessage},
        {dir.path(), MbTilesReader::kUnreadableFileMessage},
        {QCoreApplication::applicationFilePath(), MbTilesReader::kNotMbTilesMessage},
        {writeFile({{"format", "pbf"}}), MbTilesReader::kNotMbTilesMessage},
    };
    const QByteArray offline = qgetenv(tilesource::kUrlTemplateEnvironmentVariable);
    qputenv(tilesource::kUrlTemplateEnvironmentVariable, server.urlTemplate().toUtf8());
    for (const auto& c : table) {
        SCOPED_TRACE(c.path.toStdString());
        TileLayer layer(dir.filePath("cache"));
        QSignalSpy loaded(&layer, &TileLayer::tileLoaded);
        layer.setUrlTemplate(c.path);
        layer.request({{1, 1, 0}});
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == 1; }));
        EXPECT_EQ(layer.sourceMessage(), QString(c.message).replace("%@", c.path));
        EXPECT_EQ(layer.tile({1, 1, 0}).pixelColor(5, 5), TileServer::tileColor());
    }
    qputenv(tilesource::kUrlTemplateEnvironmentVariable, offline);
}

TEST(TileSourceChoice, CommandLineThenEnvironmentThenSettings) {
    const QString file = "/maps/alps.mbtiles", url = "https://a.invalid/{z}/{x}/{y}.png",
                  other = "http://b.invalid/{z}/{x}/{y}.png", def = tilesource::kDefaultUrlTemplate,
                  defAttribution = tilesource::kDefaultAttribution;
    const struct {
        TileSourceInputs in;
        TileSourceChoice out;
    } table[] = {
        {{}, {def, defAttribution, def, defAttribution}},
        {{"", "", url, "A", "", ""}, {url, "A", url, "A"}},
        {{"", "", url, "", "", ""}, {url, "", url, ""}}, // never the default server's
        {{file, other, url, "A", "", ""}, {file, "", other, "A"}},
        {{"", file, url, "A", other, "S"}, {file, "A", url, "A"}},
        {{"", "", "", "A", "file://" + file, "S"}, {"file://" + file, "S", def, defAttribution}},
        {{"", "", "", "", other, "S"}, {other, "S", other, "S"}},
    };
    for (const auto& c : table)
        EXPECT_EQ(tilesource::choose(c.in), c.out) << c.out.location.toStdString();
    EXPECT_EQ(tilesource::filePath("file://" + file), file);
}

} // namespace

TEST(TileSourceChoice, TheSettingsNoteSaysWhichSourceIsInUseAndWhy) {
    const char* variables[] = {tilesource::kTilesEnvironmentVariable,
                               tilesource::kUrlTemplateEnvironmentVariable};
    QList<QByteArray> saved;
    for (const char* variable : variables) {
        saved.append(qgetenv(variable));
        qunsetenv(variable);
    }
    const QString storedTiles = Settings::instance()->mapTiles();
    const QString url = "https://a.invalid/{z}/{x}/{y}.png";
    // Each step adds a source that outranks the ones before.
    const struct {
        std::function<void()> step;
        QString note;
    } table[] = {
        {[] { Settings::instance()->setMapTiles(""); }, "In use: the default online map"},
        {[] { Settings::instance()->setMapTiles("/s/alps.mbtiles"); },
         "In use: alps.mbtiles, from this setting"},
        {[&] { qputenv(tilesource::kUrlTemplateEnvironmentVariable, url.toUtf8()); },
         "In use: " + url + ", from VELDRIN_TILE_URL, which overrides this setting"},
        {[] { qputenv(tilesource::kTilesEnvironmentVariable, "/e/roads.mbtiles"); },
         "In use: roads.mbtiles, from VELDRIN_TILES, which overrides this setting"},
        {[] { tilesource::setCommandLineLocation("/c/city.mbtiles"); },
         "In use: city.mbtiles, from --tiles, which overrides this setting"},
    };
    for (const auto& c : table) {
        c.step();
        EXPECT_EQ(tilesource::inUseNote(), c.note);
    }
    tilesource::setCommandLineLocation(QString());
    Settings::instance()->setMapTiles(storedTiles);
    for (qsizetype i = 0; i < saved.size(); ++i) {
        if (saved[i].isNull())
            qunsetenv(variables[i]);
        else
            qputenv(variables[i], saved[i]);
    }
}
