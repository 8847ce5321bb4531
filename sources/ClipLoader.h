// The single path through which every clip is loaded: size check, reset of the viewer state,
// staging copy and extraction off the main thread, each result applied on the main thread
// only while its load is still the newest. Also the batch advance from clip to clip.
#pragma once

#include "ContentView.h"
#include "LoadOutcome.h"
#include "MetadataExtractor.h"
#include "VideoPlayer.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <atomic>
#include <memory>
#include <optional>

class FolderBatch;

class ClipLoader : public QObject {
    Q_OBJECT

public:
    // Smallest and largest clip the loader accepts, in bytes.
    static constexpr qint64 kMinClipBytes = 1;
    static constexpr qint64 kMaxClipBytes = qint64(1) << 30;

    using LoadContext = ::LoadContext;

    ClipLoader(ContentView& view, FolderBatch& batch, QObject* parent = nullptr);
    ~ClipLoader() override;

    // Returns true when the load started (size check passed, staging folder usable).
    bool loadClip(const QUrl& fileUrl, bool autoPlay, bool advancing = false);
    bool handleDroppedURLs(const QList<QUrl>& urls);
    void setDropTargeted(bool targeted);
    void openClipPanelResult(const QUrl& fileUrl);
    void takePendingExternalFile();

    // Loads the clip after the current one of the folder batch, or reports the batch's end.
    void advanceBatch(bool autoPlay);
    // The player's end-of-item report; only the item now playing advances the batch.
    void handlePlaybackEnded(VideoPlayer::ItemId endedItem);

    void applyExtractionResult(const MetadataExtractor::Output& output, const LoadContext& context);
    // Salvages the loaded clip after it failed as one cut short does: its complete telemetry
    // units fill the window; the video stays unplayable.
    void recoverTelemetry();

private:
    struct CopyJob {
        std::atomic<bool> cancelled{false};
        std::atomic<int> percent{0};
    };

    LoadContext beginLoad(const QUrl& stagedFileURL, const QString& displayName, bool autoPlay,
                          bool advancing);
    void copyInBackground(const QUrl& fileUrl, const LoadContext& context);
    void finishCopy(bool copied, const LoadContext& context);
    void showCopyProgress();
    bool isInFolder(const QString& clipPath) const;
    bool keepsStatus(const LoadContext& context) const;
    void releaseStagedCopy(const QUrl& stagedFileURL);
    void applyRecovery(const MetadataExtractor::Output& output, const LoadContext& context);
    // The one place a finished load changes the window, in this order: telemetry, player,
    // status line, the batch's mark, playback, the batch's advance.
    void apply(const LoadOutcome& outcome, const LoadContext& context);
    // False for the result of a superseded load, whose staged copy is then let go; otherwise
    // ends the extracting state.
    bool takeResult(const LoadContext& context);

    ContentView& view_;
    LoadStatus& load_;
    ClipTelemetry& telemetry_;
    FolderBatch& batch_;
    // Staged copies being copied or extracted: never removed before their work has returned.
    QSet<QUrl> stagedCopiesInUse_;
    // The newest load's copy; an older one is cancelled when a newer load starts.
    std::shared_ptr<CopyJob> copyJob_;
    QTimer copyProgressTimer_;
    int shownCopyPercent_ = -1;
    // The load whose clip can be recovered; cleared by the next load.
    std::optional<LoadContext> recoverable_;
};
