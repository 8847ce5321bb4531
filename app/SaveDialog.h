// The one save panel of the studio's exports: the desktop's own where it has one, else the Qt
// Widgets one. Driven from C++ because the QML panel reports the file type chosen in an earlier
// panel, not in this one; the type is read from the panel itself when Save is pressed.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

class SaveDialog : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString title MEMBER title_ NOTIFY settingsChanged)
    Q_PROPERTY(QStringList nameFilters MEMBER nameFilters_ NOTIFY settingsChanged)
    // Added by the panel to a name typed without one, before it asks about replacing a file.
    // Empty when the type list decides it: the panel would keep the suffix it opened with.
    Q_PROPERTY(QString defaultSuffix MEMBER defaultSuffix_ NOTIFY settingsChanged)
    Q_PROPERTY(QUrl proposedFile MEMBER proposedFile_ NOTIFY settingsChanged)
    Q_PROPERTY(QWindow* parentWindow MEMBER parentWindow_ NOTIFY settingsChanged)

public:
    using QObject::QObject;

    // Opens the panel over the parent window with the proposed file selected.
    Q_INVOKABLE void open();
    // Puts `question` to the user for a file the panel did not ask about (its name was
    // completed afterwards); Yes confirms the choice.
    Q_INVOKABLE void askToReplace(const QString& question, const QUrl& file, int filterIndex);

signals:
    void settingsChanged();
    // Save was pressed on `file`, with the type at `filterIndex` chosen in the panel.
    void chosen(const QUrl& file, int filterIndex);
    void replaceConfirmed(const QUrl& file, int filterIndex);

private:
    QString title_;
    QStringList nameFilters_;
    QString defaultSuffix_;
    QUrl proposedFile_;
    QPointer<QWindow> parentWindow_;
};
