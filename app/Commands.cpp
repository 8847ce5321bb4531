#include "Commands.h"

#include <QCoreApplication>

namespace {
Commands* gInstance = nullptr;
}

Commands::Commands(QObject* parent) : QObject(parent) {}

Commands::~Commands() {
    if (gInstance == this)
        gInstance = nullptr;
}

Commands* Commands::instance() {
    if (!gInstance)
        gInstance = new Commands(qApp);
    return gInstance;
}

void Commands::post(const QString& name) {
    if (name == kOpenFile)
        emit openFile();
    else if (name == kOpenFolder)
        emit openFolder();
    else if (name == kExportCsv)
        emit exportCsv();
    else if (name == kExportRoute)
        emit exportRoute();
    else if (name == kExportEvidence)
        emit exportEvidence();
    else if (name == kShowMainWindow)
        emit showMainWindow();
    else if (name == kOpenExternalFile)
        emit openExternalFile();
}
