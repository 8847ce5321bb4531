// Trips from a generated drive played through the real QMediaPlayer: the trip list, the clock
// across moment boundaries and gaps, seeking, the trip's route and CSV, trip-to-trip advance and
// a camera file cut short while the trip plays.
#include "TripPlayback.h"
#include "DriveData.h"
#include "SourcesTestSupport.h"

#include "TestClips.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

using namespace sourcestest;

class TripPlaybackTest : public SourcesTest {
protected:
    void SetUp() override {
        SourcesTest::SetUp();
        trip_ = TripPlayback::attach(*view_, *sources_);
    }
    // Moments of 2 s from two cameras; telemetry in the front clips only.
    QString makeTrip(const std::vector<std::string>& extra = {}) {
        const QString root = dir() + "/drive";
        std::vector<std::string> args = {"--moments", "3",  "--seconds", "2",
                                         "--fps",     "10", "--cameras", "front,back"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("--trip");
        testclips::generate(root.toStdString(), args);
        EXPECT_TRUE(loadFolder(root));
        EXPECT_TRUE(waitFor([&] {
            return trip()->active() && trip()->canExport() &&
                   !view_->telemetry()->tripRouteIdentity().isEmpty();
        }));
        return root;
    }
    TripPlayback* trip() const { return trip_; }
    // Plays until `done`, failing when the trip clock, or the shown player's position in trip
    // time, ever runs backwards.
    bool playUntil(const std::function<bool()>& done) {
        double last = trip()->time();
        double lastShown = 0;
        bool backwards = false;
        const QMetaObject::Connection probe =
            QObject::connect(trip(), &TripPlayback::timeChanged, [&] {
                const double shown = trip()->trip().momentOffset(trip()->momentIndex()) +
                                     view_->player()->currentTime();
                backwards = backwards || trip()->time() < last || shown < lastShown - 0.05;
                last = trip()->time();
                lastShown = std::isfinite(shown) ? shown : lastShown;
            });
        // The next trip's clock starts afresh.
        const QMetaObject::Connection next =
            QObject::connect(trip(), &TripPlayback::tripChanged, [&] { last = lastShown = 0; });
        trip()->play();
        const bool reached = waitFor(done);
        QObject::disconnect(probe);
        QObject::disconnect(next);
        EXPECT_FALSE(backwards);
        return reached;
    }
    TripPlayback* trip_ = nullptr;
};

TEST_F(TripPlaybackTest, PlaysAcrossMomentsWithOneRouteAndTheJoinedCsv) {
    const QString root = makeTrip();
    EXPECT_TRUE(sources_->hasTrips());
    // One header and three moments, the first moment marked as playing.
    ASSERT_EQ(sources_->tripRows()->count(), 4);
    EXPECT_TRUE(sources_->tripRows()->rows()[1].isCurrent);
    EXPECT_EQ(trip()->duration(), 6.0);
    EXPECT_EQ(trip()->boundaries(), (QVariantList{2.0, 4.0}));
    EXPECT_EQ(trip()->currentClips().keys(), (QStringList{"back", "front"}));

    // The route spans all three moments: one moment's table holds a third of its points.
    const qsizetype tripPoints = view_->telemetry()->routeCoordinates().size();
    EXPECT_GT(tripPoints, 2 * view_->telemetry()->csvRowCount());
    // So do the timeline's rows, in trip time.
    EXPECT_EQ(view_->drive()->duration(), 6.0);
    EXPECT_GT(view_->drive()->series().time.back(), 4.0);

    // The second moment was prepared behind the first: the players traded places.
    QMediaPlayer* first = view_->player()->mediaPlayer();
    ASSERT_TRUE(playUntil([&] { return trip()->momentIndex() == 1 && trip()->time() > 2.5; }))
        << trip()->time() << " " << trip()->note().toStdString();
    EXPECT_EQ(view_->player()->standbyPlayer(), first);
    EXPECT_NE(first->playbackState(), QMediaPlayer::PlayingState);
    EXPECT_EQ(view_->telemetry()->routeCoordinates().size(), tripPoints);
    EXPECT_TRUE(trip()->playing());

    // The joined CSV is the command line's, byte for byte.
    const std::string out = testclips::makeTempDir();
    ASSERT_EQ(testclips::runExtractor({"-d", out, "--join-trips", root.toStdString()}), 0);
    EXPECT_EQ(trip()->joinedCsv(),
              testclips::readFile(out + "/" + trip()->trip().startText + "_trip.csv"));
}

TEST_F(TripPlaybackTest, SeekingLandsInTheRightMomentAtTheRightTime) {
    makeTrip();
    VideoPlayer* player = view_->player();
    const auto seekTo = [&](double to, int moment, double within) {
        trip()->seek(to);
        EXPECT_EQ(trip()->momentIndex(), moment);
        ASSERT_TRUE(waitFor([&] { return std::abs(player->currentTime() - within) < 0.15; }))
            << to << " " << player->currentTime();
        EXPECT_NEAR(trip()->leaderPosition(), within, 0.15);
    };
    // Loaded afresh, while the standby player holds the second moment.
    ASSERT_TRUE(waitFor([&] { return !player->standbyPlayer()->source().isEmpty(); }));
    seekTo(4.8, 2, 0.8);
    // Then through the standby: once it has loaded, and once it has only begun.
    ASSERT_TRUE(waitFor(
        [&] { return player->standbyPlayer()->mediaStatus() == QMediaPlayer::LoadedMedia; }));
    QMediaPlayer* standby = player->standbyPlayer();
    seekTo(2.3, 1, 0.3);
    EXPECT_EQ(player->mediaPlayer(), standby);
    QSignalSpy reloaded(player->standbyPlayer(), &QMediaPlayer::sourceChanged);
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 2; }));
    standby = player->standbyPlayer();
    seekTo(4.8, 2, 0.8);
    EXPECT_EQ(player->mediaPlayer(), standby);
    EXPECT_EQ(trip()->clockText(), "07:00:04");
}

TEST_F(TripPlaybackTest, AGapRunsTheClockAndTheEndAdvancesToTheNextTrip) {
    makeTrip({"--gap-after", "2"});
    ASSERT_EQ(trip()->trip().moments.size(), 2u);
    trip()->seek(3.5);
    ASSERT_TRUE(playUntil([&] { return trip()->trip().moments.size() == 1; }))
        << view_->load()->status().toStdString();
    EXPECT_TRUE(trip()->playing());
    ASSERT_TRUE(waitFor([&] {
        return view_->load()->status() == "Batch playback complete (2 trips)";
    })) << view_->load()->status().toStdString();
}

TEST_F(TripPlaybackTest, ACameraFileCutShortStopsWithANoteAndTheTripGoesOn) {
    const QString root = makeTrip();
    const QString cut = root + "/2025-06-01_07-00-02-front.mp4";
    ASSERT_TRUE(QFile::resize(cut, QFileInfo(cut).size() / 3));
    bool noted = false;
    QObject::connect(trip(), &TripPlayback::noteChanged,
                     [&] { noted |= !trip()->note().isEmpty(); });
    ASSERT_TRUE(playUntil([&] { return trip()->momentIndex() == 2; }))
        << trip()->time() << " " << trip()->note().toStdString();
    EXPECT_TRUE(noted);
}

// While a trip plays, the route is the whole trip's, as the command line joins it; the CSV and
// the evidence are the shown moment's clip's, named in the panels' titles and proposals.
TEST_F(TripPlaybackTest, ExportsOfAPlayingTripProposeNamesAndWriteTheWholeRoute) {
    const QString root = makeTrip();
    const QString start = QString::fromStdString(trip()->trip().startText);
    const QString front = start + "-front";
    EXPECT_EQ(std::tuple(sources_->proposedRouteExportUrl(), sources_->proposedExportUrl(),
                         sources_->exportPanelTitle(), sources_->evidencePanelTitle(),
                         sources_->routeExportPanelTitle()),
              std::tuple(fileUrl(root + "/" + start + "_trip.gpx"),
                         fileUrl(root + "/" + front + "_sei.csv"),
                         "Export Telemetry CSV of " + front + ".mp4",
                         "Export Evidence of " + front + ".mp4", QString("Export Trip Route")));

    const std::string joined = testclips::makeTempDir();
    const QString out = QString::fromStdString(testclips::makeTempDir());
    const char* formats[] = {"gpx", "geojson", "kml"};
    for (int filter = 0; filter < 3; ++filter) {
        ASSERT_EQ(testclips::runExtractor({"-d", joined, "--join-trips", "--format",
                                           formats[filter], root.toStdString()}),
                  0);
        const QString name = QString("route.") + formats[filter];
        sources_->exportRoute(fileUrl(out + "/route"), filter);
        ASSERT_TRUE(waitFor([&] { return view_->load()->status() == "Route exported to " + name; }))
            << view_->load()->status().toStdString();
        EXPECT_EQ(readBytes(out + "/" + name), readBytes(QString::fromStdString(joined) + "/" +
                                                         start + "_trip." + formats[filter]))
            << formats[filter];
    }

    sources_->exportEvidence(fileUrl(out));
    ASSERT_TRUE(waitFor([&] { return view_->load()->status().startsWith("Evidence written to"); }))
        << view_->load()->status().toStdString();
    EXPECT_TRUE(QFile::exists(out + "/" + front + "_evidence/manifest.json"));
}
