#include "StudioDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>

namespace studio {
namespace {
constexpr int kEventSliceMs = 10;

QQuickItem* findIn(QQuickItem* item, const QString& objectName) {
    if (item->objectName() == objectName)
        return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findIn(child, objectName))
            return found;
    }
    return nullptr;
}

QPoint windowCentre(QQuickWindow* window) {
    return QPoint(window->width() / 2, window->height() / 2);
}
} // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kEventSliceMs);
        QTest::qSleep(kEventSliceMs);
    }
    return true;
}

QQuickItem* findItem(QQuickWindow* window, const QString& objectName) {
    return findIn(window->contentItem(), objectName);
}

QString textOf(QQuickWindow* window, const QString& objectName) {
    QQuickItem* item = findItem(window, objectName);
    return item ? item->property("text").toString() : QString();
}

bool isShown(QQuickWindow* window, const QString& objectName) {
    QQuickItem* item = findItem(window, objectName);
    return item && item->isVisible();
}

void click(QQuickWindow* window, const QString& objectName) {
    QQuickItem* item = findItem(window, objectName);
    if (!item)
        return;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

bool dragEnter(QQuickWindow* window, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    return enter.isAccepted();
}

void dragLeave(QQuickWindow* window) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window, &leave);
}

bool drop(QQuickWindow* window, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDragMoveEvent move(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent dropEvent(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                         Qt::NoModifier);
    QCoreApplication::sendEvent(window, &dropEvent);
    return dropEvent.isAccepted();
}

void saveScreenshot(QQuickWindow* window, const QString& name) {
    QDir().mkpath(QStringLiteral(VELDRIN_SCREENSHOT_DIR));
    window->grabWindow().save(QStringLiteral(VELDRIN_SCREENSHOT_DIR "/") + name + ".png");
}

} // namespace studio
