// Playback through the real QMediaPlayer: the end of a clip advances the batch with
// auto-play, and only the item now playing counts.
#include "SourcesTestSupport.h"

using namespace sourcestest;

#include <QSignalSpy>
#include <QTest>
#include <QVideoFrame>
#include <QVideoSink>

class PlaybackTest : public SourcesTest {
protected:
    QMediaPlayer* media() const { return view_->player()->mediaPlayer(); }
};

TEST_F(PlaybackTest, TheCurrentItemEndingPlaysTheNextAndTheLastEndsTheBatch) {
    const QString root = dir() + "/drive";
    for (const char* name : {"1.mp4", "2.mp4", "3.mp4"})
        makeClip(root + "/" + name, {"--frames", "8", "--fps", "20"});
    const QString outside = makeClip(dir() + "/outside.mp4", {"--frames", "8", "--fps", "20"});
    ASSERT_TRUE(loadFolder(root));
    ASSERT_TRUE(idle());
    const VideoPlayer::ItemId first = view_->player()->currentItem();

    // A row click loads without auto-play; the item it replaced reports its end: nothing happens.
    sources_->selectFolderClip(root + "/2.mp4");
    ASSERT_TRUE(idle());
    EXPECT_NE(media()->playbackState(), QMediaPlayer::PlayingState);
    ASSERT_NE(view_->player()->currentItem(), first);
    emit view_->player()->itemDidPlayToEnd(first);
    EXPECT_EQ(view_->load()->status(), "Loaded 2.mp4");

    view_->player()->play();
    ASSERT_TRUE(waitFor([&] { return view_->load()->status() == "Loaded 3.mp4"; }))
        << view_->load()->status().toStdString() << " / " << media()->errorString().toStdString();
    EXPECT_EQ(view_->load()->selectedFolderClipPath(), root + "/3.mp4");
    EXPECT_EQ(media()->playbackState(), QMediaPlayer::PlayingState);
    ASSERT_TRUE(waitFor([&] {
        return view_->load()->status() == "Batch playback complete (3 clips)";
    })) << view_->load()->status().toStdString();

    // A clip from outside the batch plays to its end without touching it.
    ASSERT_TRUE(loadClip(outside));
    QSignalSpy ended(view_->player(), &VideoPlayer::itemDidPlayToEnd);
    view_->player()->play();
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }))
        << media()->errorString().toStdString();
    EXPECT_EQ(std::pair(view_->load()->status(), view_->load()->selectedFolderClipPath()),
              std::pair(QString("Loaded outside.mp4"), outside));
}

TEST_F(PlaybackTest, ALoadedClipShowsItsFirstFrameWithoutPlaying) {
    QVideoSink sink;
    media()->setVideoSink(&sink);
    const QString clip = makeClip(dir() + "/still.mp4", {"--frames", "30", "--fps", "20"});
    ASSERT_TRUE(loadClip(clip));
    ASSERT_TRUE(waitFor([&] { return sink.videoFrame().isValid(); }));
    // Let any playback that had wrongly started move on before looking.
    QTest::qWait(300);
    EXPECT_EQ(std::pair(media()->playbackState(), media()->position()),
              std::pair(QMediaPlayer::PausedState, qint64(0)));
}
