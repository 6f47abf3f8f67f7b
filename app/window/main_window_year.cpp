// The window's side of the year: the Year view, and the warning when the chosen month's files
// were made from books that have changed since.
#include <QComboBox>
#include <QLabel>
#include <memory>

#include "app/window/background_job.h"
#include "app/window/folder_row.h"
#include "app/window/main_window.h"
#include "app/window/year/year_view.h"
#include "returns/check/month_books_check.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"
#include "returns/year/year_run.h"

// Files already in the month folder may no longer be what the books give; the user should know
// before uploading or replacing them. The check re-runs the month on its own connection and
// into a throwaway folder, so the summary and the error list keep what the user was looking
// at. A check of a month no longer chosen is dropped.
void MainWindow::checkChosenMonth() {
    booksChangedLabel_->hide();
    if (running_) return;
    const int month = chosenMonth();
    const vat::ReturnFolders folders = folderRow_->folders();
    if (month == 0 || !dataFile_.books) {
        job_->drop();
        return;
    }
    const std::filesystem::path monthFolder = vat::MonthFolder(folders, *dataFile_.books, month);
    folderRow_->showRunFolder(monthFolder);
    if (!vat::MonthGenerated(monthFolder, *dataFile_.books)) {
        job_->drop();
        return;
    }
    booksChangedLabel_->setText(QString("Checking the books of %1\u2026")
                                    .arg(QString::fromStdString(vat::MonthTitle(month))));
    booksChangedLabel_->setToolTip({});
    booksChangedLabel_->show();
    auto warning = std::make_shared<std::string>();
    job_->start(
        [dataFile = dataFile_.books->dataFile, month, folders, warning](
            vat::LedgerConnection& ledger, const vat::RunCancel& cancel) {
            *warning =
                vat::WarningOf(vat::CheckMonthBooks(ledger, dataFile, month, folders, &cancel));
        },
        [this, warning] { showBooksCheck(*warning); });
}

void MainWindow::showBooksCheck(const std::string& warning) {
    const QString text = QString::fromStdString(warning);
    booksChangedLabel_->setText(text);
    booksChangedLabel_->setToolTip(text);
    booksChangedLabel_->setVisible(!text.isEmpty());
    arrange();  // the same label may need other lines
}

// The view runs and checks months itself; a check of the window's would compare a month the
// view may be rewriting, so it is dropped, and made again when the view closes.
void MainWindow::openYearView() {
    if (!dataFile_.books) {
        dataFileCombo_->setFocus();
        return;
    }
    job_->drop();
    booksChangedLabel_->hide();
    auto* view = new YearView(*dataFile_.books, folderRow_->folders(), *messages_, this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    // The view may have rewritten the chosen month's record.
    connect(view, &QDialog::finished, this, [this] {
        showChosenMonth();
        checkChosenMonth();
    });
    view->open();
}
