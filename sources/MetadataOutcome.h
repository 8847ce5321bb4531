// How one extraction's outcome reads for the clip sources: whether a success text carries
// telemetry, the per-clip status it gives, and running the extraction on the shared thread
// pool with the result brought back to the thread of a context object.
#pragma once

#include "ClipMetadataStatus.h"
#include "MetadataExtractor.h"

#include <QObject>
#include <QString>

#include <functional>

// True unless the first non-empty line of `text`, trimmed, begins with the no-metadata
// notice ("No SEI metadata found", case-sensitive).
bool csvHasMetadata(const QString& text);

// error for a failure; withMetadata or noMetadata for a success, by csvHasMetadata.
ClipMetadataStatus metadataStatusFor(const MetadataExtractor::Output& output);

// Runs MetadataExtractor::extract(path) on the global thread pool and calls `done` with the
// result on `context`'s thread. Never runs `done` once `context` is destroyed. `salvage`
// recovers a clip cut short.
void extractInBackground(QObject* context, const QString& path,
                         std::function<void(const MetadataExtractor::Output&)> done,
                         bool salvage = false);

// Test seam: runs on the worker thread just before each extraction, e.g. to hold one back so
// that the order in which two extractions finish is certain. Set it only while no extraction
// runs; an empty function removes it.
void setBeforeExtractionHookForTesting(std::function<void(const QString& path)> hook);
