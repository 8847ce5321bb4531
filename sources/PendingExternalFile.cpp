// The pending external file slot; guarded so a hand-over from any thread is safe.
#include "PendingExternalFile.h"

#include <QMutex>
#include <QMutexLocker>

#include <utility>

namespace pendingexternalfile {
namespace {

struct Slot {
    QMutex mutex;
    std::optional<QUrl> file;
};

Slot& slot() {
    static Slot instance;
    return instance;
}

} // namespace

void set(const QUrl& file) {
    QMutexLocker lock(&slot().mutex);
    slot().file = file;
}

std::optional<QUrl> take() {
    QMutexLocker lock(&slot().mutex);
    return std::exchange(slot().file, std::nullopt);
}

} // namespace pendingexternalfile
