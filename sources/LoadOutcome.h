// What one clip's extraction means for the window, as a value: the telemetry to show, the
// status line, the batch's mark for the clip, and what the player and the batch do next.
// Built by a pure function of the extraction's output and the load's context; the loader
// applies it in one place.
#pragma once

#include "ClipMetadataStatus.h"
#include "ClipTelemetry.h"
#include "MetadataExtractor.h"

#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>

// What a load's completion step uses, captured when the load starts.
struct LoadContext {
    QUrl stagedFileURL;
    QUuid fileLoadID;
    QString displayName;
    bool autoPlay = false;
    QString clipPath; // null when absent
    bool inFolder = false;
    // Loaded by the advance at a clip's end, which passes over clips that fail or carry no
    // telemetry; a clip the user chose stays whatever its outcome.
    bool advancing = false;
};

struct LoadOutcome {
    ClipTelemetry::Clip telemetry;
    // The window's status line; null leaves it as it is.
    QString status;
    // The batch's mark for the clip, when the clip keeps one.
    std::optional<ClipMetadataStatus> clipStatus;
    // The clip failed as one cut short does; its telemetry can be recovered.
    bool recoverable = false;
    // The video goes to the player (and plays, with the context's autoPlay).
    bool showVideo = false;
    // The batch moves on to its next clip.
    bool advance = false;
    friend bool operator==(const LoadOutcome&, const LoadOutcome&) = default;
};

// `keepsStatus`: the clip is still one whose mark the batch keeps.
LoadOutcome loadOutcome(const MetadataExtractor::Output& output, const LoadContext& context,
                        bool keepsStatus);

// A recovery's result: the clip keeps its error mark and never shows its video; its rows are
// shown, or the reason there are none.
LoadOutcome recoveryOutcome(const MetadataExtractor::Output& output, const LoadContext& context);
