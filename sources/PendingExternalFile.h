// The one process-wide slot through which a file handed over by the operating system reaches
// the main window: the hand-over handler sets it (a later file replaces one not yet taken),
// the main window takes it (read and cleared in one step).
#pragma once

#include <QUrl>

#include <optional>

namespace pendingexternalfile {

void set(const QUrl& file);
std::optional<QUrl> take();

} // namespace pendingexternalfile
