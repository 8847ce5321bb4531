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

#include <chrono>
#include <functional>

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

// Sends a drag entering the window with `urls`; returns whether the window accepted it.
bool dragEnter(QQuickWindow* window, const QList<QUrl>& urls);
void dragLeave(QQuickWindow* window);
// Drags `urls` in and drops them (unless `release` is false, when they stay hovering);
// returns whether the drop, or the entering drag, was accepted.
bool drop(QQuickWindow* window, const QList<QUrl>& urls, bool release = true);

// The Qt Widgets file panel once one is on screen, or null after a wait.
QFileDialog* shownFileDialog();
// Answers the next message box that comes up with `answer` and sets `*asked`.
void answerNextQuestion(QMessageBox::StandardButton answer, bool* asked);

// Saves the window under the build's screenshot folder as `name`.png.
void saveScreenshot(QQuickWindow* window, const QString& name);

} // namespace studio
