// The one video player of a window: a QMediaPlayer with a replaceable item. An "item" is
// the current source plus a load counter, so an end-of-item report names the item that
// ended and a caller can tell it apart from a newer item with the same file.
#pragma once

#include <QObject>
#include <QUrl>

#include <QMediaPlayer>

class VideoPlayer : public QObject {
    Q_OBJECT
    Q_PROPERTY(QMediaPlayer* mediaPlayer READ mediaPlayer CONSTANT)
    Q_PROPERTY(quint64 currentItem READ currentItem NOTIFY currentItemChanged)

public:
    using ItemId = quint64;
    static constexpr ItemId kNoItem = 0;

    explicit VideoPlayer(QObject* parent = nullptr);
    ~VideoPlayer() override;

    QMediaPlayer* mediaPlayer() const { return player_; }

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

signals:
    void currentItemChanged();
    // Emitted when `item` has played to its end.
    void itemDidPlayToEnd(VideoPlayer::ItemId item);

private:
    QMediaPlayer* player_;
    ItemId currentItem_ = kNoItem;
    ItemId lastItem_ = kNoItem;
};
