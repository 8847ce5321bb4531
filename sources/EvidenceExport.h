// The evidence bundle of the loaded clip, written off the GUI thread by the Qt-free exporter:
// the clip is read and hashed again from its own file, never from the staged copy.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

namespace evidenceexport {

// Writes NAME_evidence/ for the clip at `clipPath` into `folder` on the global thread pool.
// `salvage` recovers a clip cut short. `done` runs on `context`'s thread (never once `context`
// is gone) with the bundle's path, or an empty path and the reason.
void writeInBackground(QObject* context, const QString& clipPath, const QUrl& folder, bool salvage,
                       std::function<void(const QString& bundle, const QString& error)> done);

} // namespace evidenceexport
