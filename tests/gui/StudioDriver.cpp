#include "StudioDriver.h"

#include "Settings.h"
#include "TestClips.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace studio {
namespace {

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

template <typename Window> Window* shownTopLevel() {
    Window* shown = nullptr;
    waitFor([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
                shown = window;
        }
        return shown != nullptr;
    });
    return shown;
}
} // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(condition, static_cast<int>(timeout.count()));
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

void dragLeave(QQuickWindow* window) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window, &leave);
}

bool drop(QQuickWindow* window, const QList<QUrl>& urls, bool release) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!release)
        return enter.isAccepted();
    QDragMoveEvent move(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent dropEvent(windowCentre(window), Qt::CopyAction, &mime, Qt::LeftButton,
                         Qt::NoModifier);
    QCoreApplication::sendEvent(window, &dropEvent);
    return dropEvent.isAccepted();
}

QFileDialog* shownFileDialog() {
    return shownTopLevel<QFileDialog>();
}

bool acceptFileDialog(QFileDialog* panel, const QString& name) {
    if (!name.isEmpty())
        panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    const auto accept = panel->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                       : QDialogButtonBox::Open;
    QPushButton* button =
        panel->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(accept);
    if (!button->isEnabled())
        return false;
    button->click();
    return true;
}

void chooseFileType(QFileDialog* panel, int index) {
    auto* types = panel->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    while (types->currentIndex() < index)
        QTest::keyClick(types, Qt::Key_Down);
    while (types->currentIndex() > index)
        QTest::keyClick(types, Qt::Key_Up);
}

QMessageBox* shownMessageBox() {
    return shownTopLevel<QMessageBox>();
}

void answerNextQuestion(QMessageBox::StandardButton answer, bool* asked) {
    // Runs inside the question's own event loop, once the call that raises it has shown it.
    QTimer::singleShot(0, qApp, [answer, asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *asked = true;
            box->button(answer)->click();
        }
    });
}

void saveScreenshot(QQuickWindow* window, const QString& name) {
    QDir().mkpath(QStringLiteral(VELDRIN_SCREENSHOT_DIR));
    window->grabWindow().save(QStringLiteral(VELDRIN_SCREENSHOT_DIR "/") + name + ".png");
}

QString openTrip(QQuickWindow* window, const std::string& seconds, const std::string& cameras) {
    const QString trip = QString::fromStdString(testclips::makeTempDir()) + "/trip";
    testclips::generate(trip.toStdString(), {"--fast", "--size", "320x240", "--moments", "2",
                                             "--seconds", seconds, "--cameras", cameras, "--trip"});
    QMetaObject::invokeMethod(window->property("sources").value<QObject*>(),
                              "openFolderPanelResult", Q_ARG(QUrl, QUrl::fromLocalFile(trip)));
    return trip;
}

bool StudioSession::launch() {
    Settings::instance()->setOnlyWithMetadata(false);
    Settings::instance()->setUseMilesPerHour(false);
    app = std::make_unique<VeldrinApp>();
    app->launch();
    window = app->mainWindow();
    return window && QTest::qWaitForWindowExposed(window);
}

} // namespace studio
