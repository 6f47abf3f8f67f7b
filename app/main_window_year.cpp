// The window's side of the year: the Year view, and the warning when the chosen month's files
// were made from books that have changed since.
#include <QComboBox>
#include <QLabel>

#include "app/folder_row.h"
#include "app/main_window.h"
#include "app/year_view.h"
#include "returns/check/month_books_check.h"
#include "returns/run/month_folder.h"
#include "returns/year/year_run.h"

// Files already in the month folder may no longer be what the books give; the user should know
// before uploading or replacing them. The check's re-run is its own, so the summary and the error
// list keep what the user was looking at.
void MainWindow::checkChosenMonth() {
    booksChangedLabel_->hide();
    const int month = chosenMonth();
    if (running_ || month == 0 || !dataFile_.books) return;
    const vat::ReturnFolders folders = folderRow_->Folders();
    const std::filesystem::path monthFolder = vat::MonthFolder(folders, *dataFile_.books, month);
    folderRow_->ShowRunFolder(monthFolder);
    if (!vat::MonthGenerated(monthFolder, *dataFile_.books)) return;
    vat::RunCancel cancel(ledger_);
    runCancel_ = &cancel;
    setRunning(true);
    const vat::BooksCheck check =
        vat::CheckMonthBooks(ledger_, dataFile_.books->dataFile, month, folders, &cancel);
    runCancel_ = nullptr;
    setRunning(false);
    const QString warning = QString::fromStdString(vat::WarningOf(check));
    booksChangedLabel_->setText(warning);
    booksChangedLabel_->setToolTip(warning);
    booksChangedLabel_->setVisible(!warning.isEmpty());
}

// The view works on the window's connection and month folders, so the window waits for it; a
// year run may have rewritten the chosen month, which is then checked again.
void MainWindow::openYearView() {
    if (!dataFile_.books) {
        dataFileCombo_->setFocus();
        return;
    }
    auto* view = new YearView(ledger_, *dataFile_.books, folderRow_->Folders(), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    connect(view, &QDialog::finished, this, &MainWindow::checkChosenMonth);
    view->open();
}
