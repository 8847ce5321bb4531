#include "RouteSavePanel.h"

#include "ClipSources.h"
#include "LocalizedString.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>

namespace {
constexpr const char* kSaveLabel = QT_TRANSLATE_NOOP("Veldrin", "Save");
} // namespace

void openRouteSavePanel(ClipSources* sources, QWindow* parent) {
    auto* panel = new QFileDialog(nullptr, sources->routeExportPanelTitle());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilters(sources->routeNameFilters());
    panel->setLabelText(QFileDialog::Accept, localizedString(kSaveLabel));
    const QUrl proposed = sources->proposedRouteExportUrl();
    if (!proposed.isEmpty())
        panel->selectUrl(proposed);
    panel->setWindowModality(Qt::ApplicationModal);
    if (parent) {
        panel->winId();
        panel->windowHandle()->setTransientParent(parent);
    }
    QPointer<ClipSources> target(sources);
    QObject::connect(panel, &QFileDialog::accepted, panel, [panel, target] {
        if (!target || panel->selectedUrls().isEmpty())
            return;
        const QUrl file = panel->selectedUrls().constFirst();
        const int filter = int(target->routeNameFilters().indexOf(panel->selectedNameFilter()));
        const QString question = target->routeReplaceQuestion(file, filter);
        if (question.isEmpty()) {
            target->exportRoute(file, filter);
            return;
        }
        auto* box = new QMessageBox(QMessageBox::Question, target->routeExportPanelTitle(),
                                    question, QMessageBox::Yes | QMessageBox::No);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setDefaultButton(QMessageBox::No);
        QObject::connect(box, &QMessageBox::finished, box, [target, file, filter](int answer) {
            if (target && answer == QMessageBox::Yes)
                target->exportRoute(file, filter);
        });
        box->open();
    });
    panel->open();
}
