// Drives the real studio windows as a person would: finds items by objectName, reads their
// texts, clicks them, drops files on the window, and saves screenshots.
#pragma once

#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QUrl>

#include "VeldrinApp.h"

#include <chrono>
#include <functional>
#include <memory>

namespace studio {

// Processes events until `condition` holds or `timeout` passes; returns the condition.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(20));

// The first item (depth first) named `objectName` in the window's visual tree, or null.
QQuickItem* findItem(QQuickWindow* window, const QString& objectName);
// Its "text" property; empty when there is no such item.
QString textOf(QQuickWindow* window, const QString& objectName);
// The item exists and it and all its ancestors are visible.
bool isShown(QQuickWindow* window, const QString& objectName);
// Presses and releases the left button in the middle of the item.
void click(QQuickWindow* window, const QString& objectName);

// Drags `urls` in and drops them (unless `release` is false, when they stay hovering until
// dragLeave); returns whether the drop, or the entering drag, was accepted.
bool drop(QQuickWindow* window, const QList<QUrl>& urls, bool release = true);
void dragLeave(QQuickWindow* window);

// The Qt Widgets file panel once one is on screen, or null after a wait.
QFileDialog* shownFileDialog();
// Types `name` into the panel's file name field, unless it is empty, and presses the accept
// button; returns whether the button could be pressed. Unlike QFileDialog::selectFile, typing
// works whether or not the panel has already taken the focus.
bool acceptFileDialog(QFileDialog* panel, const QString& name = {});
// Picks the panel's file type `index` from its list with the keyboard, as a person does.
void chooseFileType(QFileDialog* panel, int index);
// The message box once one is on screen, or null after a wait.
QMessageBox* shownMessageBox();
// Answers the next message box that comes up with `answer` and sets `*asked`.
void answerNextQuestion(QMessageBox::StandardButton answer, bool* asked);

// Saves the window under the build's screenshot folder as `name`.png.
void saveScreenshot(QQuickWindow* window, const QString& name);

// A generated trip of two moments of `seconds` each from `cameras`, opened in `window` as a
// folder is; returns the trip's folder.
QString openTrip(QQuickWindow* window, const std::string& seconds, const std::string& cameras);

// A studio of the test's own, its main window on screen once launch() returns true; the
// folder filter and miles per hour are off.
struct StudioSession {
    bool launch();
    std::unique_ptr<VeldrinApp> app;
    QQuickWindow* window = nullptr;
};

} // namespace studio
