#include "app/window/message_presenter.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/window/mark_filed_dialog.h"

void MessageBoxPresenter::show(const QString& text, bool critical, const QString& detail) {
    QMessageBox box(critical ? QMessageBox::Critical : QMessageBox::Information,
                    window_->windowTitle(), text, QMessageBox::Ok, window_);
    if (!detail.isEmpty()) box.setDetailedText(detail);
    box.exec();
}

bool MessageBoxPresenter::confirm(const QString& question) {
    return QMessageBox::question(window_, window_->windowTitle(), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString MessageBoxPresenter::askSaveFile(const QString& caption, const QString& suggested,
                                         const QString& filters, const QString& defaultSuffix) {
    QFileDialog dialog(window_, caption, suggested, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<FilingAnswer> MessageBoxPresenter::askFiling(const QString& monthTitle) {
    return AskFiling(window_, monthTitle);
}
