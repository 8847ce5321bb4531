// A load's outcome; see LoadOutcome.h.
#include "LoadOutcome.h"

#include "ExtractError.h"
#include "LocalizedString.h"
#include "MetadataOutcome.h"

namespace {

constexpr const char* kRejectedStatus = QT_TRANSLATE_NOOP("Veldrin", "MP4 rejected: %1");
constexpr const char* kLoadedStatus = QT_TRANSLATE_NOOP("Veldrin", "Loaded %1");
constexpr const char* kRecoveredStatus = QT_TRANSLATE_NOOP("Veldrin", "Recovered telemetry of %1");
constexpr const char* kNoMetadataMessage = QT_TRANSLATE_NOOP(
    "Veldrin", "No supported Orvik SEI metadata found. Older or parked Orvik clips may lack it.");
constexpr const char* kNoMetadataStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Unsupported MP4: no Orvik SEI metadata");

} // namespace

LoadOutcome loadOutcome(const MetadataExtractor::Output& output, const LoadContext& context,
                        bool keepsStatus) {
    LoadOutcome outcome;
    const ClipMetadataStatus status = metadataStatusFor(output);
    if (keepsStatus)
        outcome.clipStatus = status;
    switch (status) {
    case ClipMetadataStatus::error: {
        const QString message = QString::fromStdString(output.message());
        outcome.recoverable = output.message() == MetadataExtractor::messages::kAtomBeyondFile;
        outcome.telemetry = {std::nullopt, QString(), localizedString(message),
                             outcome.recoverable};
        outcome.status = localizedString(kRejectedStatus, message);
        outcome.advance = context.advancing;
        return outcome;
    }
    case ClipMetadataStatus::withMetadata:
        outcome.telemetry = {QString::fromStdString(output.text()),
                             QString::fromStdString(output.report()), QString(), false};
        outcome.status = localizedString(kLoadedStatus, context.displayName);
        outcome.showVideo = true;
        return outcome;
    case ClipMetadataStatus::noMetadata:
    case ClipMetadataStatus::unknown:
        break;
    }
    outcome.telemetry = {std::nullopt, QString::fromStdString(output.report()),
                         localizedString(kNoMetadataMessage), false};
    outcome.status = localizedString(kNoMetadataStatus);
    // A clip the user chose plays its video, with an empty readout and the notice.
    outcome.advance = context.advancing;
    outcome.showVideo = !context.advancing;
    return outcome;
}

LoadOutcome recoveryOutcome(const MetadataExtractor::Output& output, const LoadContext& context) {
    LoadOutcome outcome;
    switch (metadataStatusFor(output)) {
    case ClipMetadataStatus::withMetadata:
        outcome.telemetry = {QString::fromStdString(output.text()),
                             QString::fromStdString(output.report()), QString(), false};
        outcome.status = localizedString(kRecoveredStatus, context.displayName);
        return outcome;
    case ClipMetadataStatus::error:
        outcome.telemetry.message = localizedString(QString::fromStdString(output.message()));
        break;
    case ClipMetadataStatus::noMetadata:
    case ClipMetadataStatus::unknown:
        outcome.telemetry.message = localizedString(kNoMetadataMessage);
        break;
    }
    return outcome;
}
