// The single path through which every clip is loaded: size check, staging copy, reset of
// the viewer state, background extraction, and the result applied on the main thread only
// while its load is still the newest. Also the batch advance from clip to clip.
#pragma once

#include "ContentView.h"
#include "MetadataExtractor.h"
#include "VideoPlayer.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QUuid>

class ClipLoader : public QObject {
    Q_OBJECT

public:
    // Smallest and largest clip the loader accepts, in bytes.
    static constexpr qint64 kMinClipBytes = 1;
    static constexpr qint64 kMaxClipBytes = qint64(1) << 30;

    // What a load's completion step uses, captured when the load starts.
    struct LoadContext {
        QUrl stagedFileURL;
        QUuid fileLoadID;
        QString displayName;
        bool autoPlay = false;
        QString clipPath; // null when absent
        bool inFolder = false;
    };

    explicit ClipLoader(ContentView& view, QObject* parent = nullptr);
    ~ClipLoader() override;

    // Returns true when the load started (checks and staging passed).
    bool loadClip(const QUrl& fileUrl, bool autoPlay);
    bool handleDroppedURLs(const QList<QUrl>& urls);
    void setDropTargeted(bool targeted);
    void openClipPanelResult(const QUrl& fileUrl);
    void takePendingExternalFile();

    // Loads the clip after the current one of the folder batch, or reports the batch's end.
    void advanceBatch(bool autoPlay);
    // The player's end-of-item report; only the item now playing advances the batch.
    void handlePlaybackEnded(VideoPlayer::ItemId endedItem);

    void applyExtractionResult(const MetadataExtractor::Output& output, const LoadContext& context);

private:
    void startExtraction(const QUrl& stagedFileURL, const QString& displayName, bool autoPlay);
    bool isInFolder(const QString& clipPath) const;
    void releaseStagedCopy(const QUrl& stagedFileURL);

    ContentView& view_;
    // Staged copies whose extraction has not returned yet: never removed before it has.
    QSet<QUrl> stagedCopiesInExtraction_;
};
