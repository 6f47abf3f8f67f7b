// The chosen month's filing: Mark as filed..., the month's filing beside the tabs, the Since
// filing tab and the question before the first revision of a filed month.
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>

#include "app/window/folder_row.h"
#include "app/window/main_window.h"
#include "disk/disk_error.h"
#include "returns/filing/filing_status.h"
#include "returns/filing/mark_filed.h"
#include "returns/filing/revision_text.h"

namespace {

QString Joined(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) texts.append(QString::fromStdString(line));
    return texts.join('\n');
}

}  // namespace

// Mark as filed... and the month's filing share the tabs' right end with Check only.
void MainWindow::createFiling() {
    sinceFilingView_ = new QPlainTextEdit(results_);
    sinceFilingView_->setObjectName("sinceFilingView");
    sinceFilingView_->setReadOnly(true);
    results_->addTab(sinceFilingView_, "Since filing");

    auto* corner = new QWidget(results_);
    auto* row = new QHBoxLayout(corner);
    row->setContentsMargins(0, 0, 0, 0);
    filingLabel_ = new QLabel(corner);
    filingLabel_->setObjectName("lbl_Filing");
    markFiledButton_ = new QPushButton("Mark as &filed...", corner);
    markFiledButton_->setObjectName("btn_MarkFiled");
    markFiledButton_->setToolTip(
        "Keeps the month's files as uploaded to the portal, read-only, with the acknowledgement "
        "and the day filed; later runs of the month say what changed since.");
    row->addWidget(filingLabel_);
    row->addWidget(markFiledButton_);
    row->addWidget(checkOnlyButton_);
    results_->setCornerWidget(corner, Qt::TopRightCorner);
    connect(markFiledButton_, &QPushButton::clicked, this, &MainWindow::markChosenMonthFiled);
}

void MainWindow::markChosenMonthFiled() {
    const int month = chosenMonth();
    if (month == 0 || !dataFile_.books) return;
    const vat::SelectedBooks& books = *dataFile_.books;
    const std::optional<FilingAnswer> answer =
        messages_->askFiling(QString::fromStdString(vat::MonthOfYearTitle(books, month)));
    if (!answer) return;
    const QDate day = answer->filedOn;
    const vat::FilingMark mark{answer->acknowledgement.toStdString(),
                               {day.year(), day.month(), day.day()}};
    try {
        const vat::FiledSet set = vat::MarkFiled(folderRow_->folders(), books, month, mark,
                                                 std::chrono::system_clock::now());
        present({vat::MonthOfYearTitle(books, month) + " marked " + vat::FiledOnText(*set.record) +
                     "; the files as filed are kept in " + set.folder.string(),
                 false});
    } catch (const vat::FilingRefusal& refusal) {
        present({std::string("Cannot mark the month filed: ") + refusal.what(), true});
    } catch (const vat::DiskError& error) {
        present({error.what(), true});
    }
    showFiling();
}

// The month's filing on its line, and in Since filing what the shown run changed since.
void MainWindow::showFiling() {
    const int month = chosenMonth();
    std::optional<vat::FilingStatus> status;
    if (month != 0 && dataFile_.books)
        status = vat::MonthFilingStatus(folderRow_->folders(), *dataFile_.books, month);
    const std::string filing = status ? vat::FilingStatusText(*status) : std::string();
    filingLabel_->setText(QString::fromStdString(filing));
    const bool runOfMonth = shownRun_.Completed() && shownRun_.monthNumber == month;
    // The printout and the exports name the filing in their heading.
    if (runOfMonth) latestRun_.filing = filing;
    if (runOfMonth && sinceFiling_.revision)
        sinceFilingView_->setPlainText(Joined(vat::RevisionLines(*sinceFiling_.revision)));
    else if (runOfMonth && !sinceFiling_.problem.empty())
        sinceFilingView_->setPlainText(QString::fromStdString(sinceFiling_.problem));
    else if (status)
        sinceFilingView_->setPlainText(
            QString::fromStdString("The month was " + vat::FilingStatusText(*status) +
                                   ". Generate its files to see what changed since filing."));
    else
        sinceFilingView_->setPlainText("The month has not been marked filed.");
}

// The first run after filing makes the month's files a revision of the filed ones: asked once.
bool MainWindow::confirmRevisionRun(const vat::RunSelection& selection) {
    if (selection.monthNumber == 0 || !selection.books) return true;
    const std::optional<vat::FilingStatus> status =
        vat::MonthFilingStatus(selection.folders, *selection.books, selection.monthNumber);
    if (!status || status->runSinceFiling) return true;
    return messages_->confirm(QString::fromStdString(
        vat::MonthOfYearTitle(*selection.books, selection.monthNumber) + " was " +
        vat::FilingStatusText(*status) +
        ". The files as filed stay as they are; the new files will be a revision of them.\n\n"
        "Generate a revision?"));
}
