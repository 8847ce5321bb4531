#include "SaveDialog.h"

#include "LocalizedString.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
constexpr const char* kSaveLabel = QT_TRANSLATE_NOOP("Veldrin", "Save");
} // namespace

void SaveDialog::open() {
    auto* panel = new QFileDialog(nullptr, title_);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilters(nameFilters_);
    panel->setDefaultSuffix(defaultSuffix_);
    panel->setLabelText(QFileDialog::Accept, localizedString(kSaveLabel));
    if (!proposedFile_.isEmpty())
        panel->selectUrl(proposedFile_);
    panel->setWindowModality(Qt::ApplicationModal);
    if (parentWindow_) {
        panel->winId();
        panel->windowHandle()->setTransientParent(parentWindow_);
    }
    QPointer<SaveDialog> self(this);
    connect(panel, &QFileDialog::accepted, panel, [panel, self] {
        if (!self || panel->selectedUrls().isEmpty())
            return;
        const int filterIndex = int(self->nameFilters_.indexOf(panel->selectedNameFilter()));
        emit self->chosen(panel->selectedUrls().constFirst(), filterIndex);
    });
    panel->open();
}

void SaveDialog::askToReplace(const QString& question, const QUrl& file, int filterIndex) {
    auto* box = new QMessageBox(QMessageBox::Question, title_, question,
                                QMessageBox::Yes | QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::No);
    QPointer<SaveDialog> self(this);
    connect(box, &QMessageBox::finished, box, [self, file, filterIndex](int answer) {
        if (self && answer == QMessageBox::Yes)
            emit self->replaceConfirmed(file, filterIndex);
    });
    box->open();
}
