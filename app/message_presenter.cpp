#include "app/message_presenter.h"

#include <QMessageBox>

void MessageBoxPresenter::Show(const QString& text, bool critical) {
    QMessageBox box(critical ? QMessageBox::Critical : QMessageBox::Information,
                    window_->windowTitle(), text, QMessageBox::Ok, window_);
    box.exec();
}
