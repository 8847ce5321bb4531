// The staging folder: every clip is copied into "VeldrinDrops" under the user's cache folder
// before it is extracted and played, so the player and the extraction read a file that
// nobody else changes, removes or reads while it is in use. The folder is 0700 and each
// copy 0600: clips carry video and a GPS route.
#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace staging {

// Staged copies older than this are left over from earlier runs.
inline constexpr std::chrono::hours kStaleCopyAge{24};

// <cache folder>/VeldrinDrops
QString stagingFolder();

// Makes the staging folder private to this user and names a new copy in it (a new
// upper-case UUID + ".mp4"); the copy itself is not made yet. On failure writes "Drop staging
// failed: <description>" to standard output and returns nothing; `*refused` then tells a
// folder that is a symbolic link or another user's from one that could not be made.
std::optional<QUrl> reserveCopy(bool* refused = nullptr);

// Copies `file` to `copy` (from reserveCopy). Runs on any thread; `progress` hears the
// percentage done after each chunk. Stops once `cancelled` holds. On failure no file is left
// and, unless cancelled, "Drop staging failed: <description>" goes to standard output.
bool copyClip(const QUrl& file, const QUrl& copy, const std::function<void(int percent)>& progress,
              const std::atomic<bool>& cancelled);

// Removes one staged copy; URLs outside the staging folder are left alone.
void removeStagedCopy(const QUrl& stagedCopy);

// Removes the staged copies last modified before `cutoff`; returns how many were removed.
int removeCopiesModifiedBefore(const QDateTime& cutoff);

} // namespace staging
