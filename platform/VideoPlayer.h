// The one video player of a window: a QMediaPlayer with a replaceable item. An "item" is
// the current source plus a load counter, so an end-of-item report names the item that
// ended and a caller can tell it apart from a newer item with the same file. A standby player
// beside it can load the next item while the current one plays; the two trade places when the
// next item is due, so it shows without a load.
#pragma once

#include <QObject>
#include <QUrl>

#include <QMediaPlayer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class QAudioOutput;

class VideoPlayer : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("VideoPlayer belongs to a ContentView")
    // The player of the current item; it changes only when the standby is swapped in.
    Q_PROPERTY(QMediaPlayer* mediaPlayer READ mediaPlayer NOTIFY mediaPlayerChanged)
    Q_PROPERTY(QMediaPlayer* standbyPlayer READ standbyPlayer NOTIFY mediaPlayerChanged)
    Q_PROPERTY(quint64 currentItem READ currentItem NOTIFY currentItemChanged)

public:
    using ItemId = quint64;
    static constexpr ItemId kNoItem = 0;

    explicit VideoPlayer(QObject* parent = nullptr);
    ~VideoPlayer() override;

    QMediaPlayer* mediaPlayer() const { return player_; }
    QMediaPlayer* standbyPlayer() const { return standby_; }

    // The item now loaded, or kNoItem.
    ItemId currentItem() const { return currentItem_; }
    QUrl currentSource() const;
    // Seconds; NaN while unknown or with no item.
    double currentTime() const;
    double duration() const;

    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    // Loads `file` ready to play from its start; playback does not start by itself.
    ItemId replaceCurrentItem(const QUrl& file);
    // Empties the player: no item, no picture.
    void clearCurrentItem();
    // Loads `file` paused in the standby player, which shows its first frame where it is drawn.
    void prepareStandby(const QUrl& file);
    void clearStandby();
    // The standby becomes the current item and the shown player the standby, paused on its
    // last frame until it is loaded again. The rate goes over; each player keeps its own audio
    // output, the standby's set as the window's.
    ItemId swapInStandby();

signals:
    void mediaPlayerChanged();
    void currentItemChanged();
    // Emitted when `item` has played to its end.
    void itemDidPlayToEnd(VideoPlayer::ItemId item);

private:
    void watch(QMediaPlayer* player);
    void mirrorWindowAudio();

    QMediaPlayer* player_;
    QMediaPlayer* standby_;
    QAudioOutput* standbyAudio_;
    QAudioOutput* windowAudio_ = nullptr;
    // Asked of the standby while it loads: a file, or an empty URL to empty it.
    std::optional<QUrl> standbyNext_;
    ItemId currentItem_ = kNoItem;
    ItemId lastItem_ = kNoItem;
};
