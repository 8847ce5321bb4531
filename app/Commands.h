// The in-process commands of the menus: one process-wide object with a signal per command,
// which every main view and the application delegate observe.
#pragma once

#include <QObject>
#include <QString>

class Commands : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString openFileName MEMBER kOpenFile CONSTANT)
    Q_PROPERTY(QString openFolderName MEMBER kOpenFolder CONSTANT)
    Q_PROPERTY(QString exportCsvName MEMBER kExportCsv CONSTANT)
    Q_PROPERTY(QString exportRouteName MEMBER kExportRoute CONSTANT)
    Q_PROPERTY(QString exportEvidenceName MEMBER kExportEvidence CONSTANT)
    Q_PROPERTY(QString showMainWindowName MEMBER kShowMainWindow CONSTANT)
    Q_PROPERTY(QString openExternalFileName MEMBER kOpenExternalFile CONSTANT)

public:
    static inline const QString kOpenFile = QStringLiteral("VeldrinOpenFile");
    static inline const QString kOpenFolder = QStringLiteral("VeldrinOpenFolder");
    static inline const QString kExportCsv = QStringLiteral("VeldrinExportCSV");
    static inline const QString kExportRoute = QStringLiteral("VeldrinExportRoute");
    static inline const QString kExportEvidence = QStringLiteral("VeldrinExportEvidence");
    static inline const QString kShowMainWindow = QStringLiteral("VeldrinShowMainWindow");
    static inline const QString kOpenExternalFile = QStringLiteral("VeldrinOpenExternalFile");

    explicit Commands(QObject* parent = nullptr);
    ~Commands() override;

    // The process's instance, shared by every QML engine; created on first use.
    static Commands* instance();

    // Emits the signal of the command named `name`; unknown names do nothing.
    Q_INVOKABLE void post(const QString& name);

signals:
    void openFile();
    void openFolder();
    void exportCsv();
    void exportRoute();
    void exportEvidence();
    void showMainWindow();
    void openExternalFile();
};
