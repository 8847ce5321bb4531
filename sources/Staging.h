// The staging folder: every clip is copied into "VeldrinDrops" under the user's temporary
// directory before it is extracted and played, so the player and the extraction read a file
// that nobody else changes or removes while it is in use.
#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

namespace Staging {

// Staged copies older than this are left over from earlier runs.
inline constexpr std::chrono::hours kStaleCopyAge{24};

// <temporary directory>/VeldrinDrops
QString stagingFolder();

// Copies `file` into the staging folder under a new upper-case UUID name + ".mp4" and returns
// the copy's URL. On failure writes "Drop staging failed: <description>" to standard output
// and returns nothing.
std::optional<QUrl> stageClip(const QUrl& file);

// Removes one staged copy; URLs outside the staging folder are left alone.
void removeStagedCopy(const QUrl& stagedCopy);

// Removes the staged copies last modified before `cutoff`; returns how many were removed.
int removeCopiesModifiedBefore(const QDateTime& cutoff);

} // namespace Staging
