// Which clip or trip the window shows and how far its load has come: the status line, the
// chosen file, the load's identity (a newer load makes older results stale) and whether an
// extraction runs. Setters emit only on change.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

class LoadStatus : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("LoadStatus belongs to a ContentView")
    Q_PROPERTY(bool isDropTargeted READ isDropTargeted NOTIFY isDropTargetedChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString selectedFileName READ selectedFileName NOTIFY selectedFileNameChanged)
    // The chosen clip or trip for the window's title; empty before the first choice.
    Q_PROPERTY(QString documentTitle READ documentTitle NOTIFY selectedFileNameChanged)
    Q_PROPERTY(bool isExtracting READ isExtracting NOTIFY isExtractingChanged)
    Q_PROPERTY(QUuid fileLoadID READ fileLoadID NOTIFY fileLoadIDChanged)
    // The staged copy the player reads (an empty URL means none).
    Q_PROPERTY(QUrl stagedFileURL READ stagedFileURL NOTIFY stagedFileURLChanged)
    // The chosen clip's own path (a null string means none, as for a trip).
    Q_PROPERTY(QString selectedFolderClipPath READ selectedFolderClipPath NOTIFY
                   selectedFolderClipPathChanged)

public:
    explicit LoadStatus(QObject* parent = nullptr);

    bool isDropTargeted() const { return isDropTargeted_; }
    void setIsDropTargeted(bool value);
    QString status() const { return status_; }
    void setStatus(const QString& value);
    QString selectedFileName() const { return selectedFileName_; }
    QString documentTitle() const { return documentChosen_ ? selectedFileName_ : QString(); }
    void setSelectedFileName(const QString& value);
    bool isExtracting() const { return isExtracting_; }
    void setIsExtracting(bool value);
    QUuid fileLoadID() const { return fileLoadID_; }
    // A new random identifier; returns it.
    QUuid renewFileLoadID();
    QUrl stagedFileURL() const { return stagedFileURL_; }
    void setStagedFileURL(const QUrl& value);
    QString selectedFolderClipPath() const { return selectedFolderClipPath_; }
    void setSelectedFolderClipPath(const QString& value);

signals:
    void isDropTargetedChanged();
    void statusChanged();
    void selectedFileNameChanged();
    void isExtractingChanged();
    void fileLoadIDChanged();
    void stagedFileURLChanged();
    void selectedFolderClipPathChanged();

private:
    bool isDropTargeted_ = false;
    QString status_;
    QString selectedFileName_;
    bool documentChosen_ = false;
    bool isExtracting_ = false;
    QUuid fileLoadID_;
    QUrl stagedFileURL_;
    QString selectedFolderClipPath_;
};
