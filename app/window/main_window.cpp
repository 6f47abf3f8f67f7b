#include "app/window/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <chrono>

#include "app/export/error_list_export.h"
#include "app/shared/summary_captions.h"
#include "app/window/background_job.h"
#include "app/window/error_grid.h"
#include "app/window/error_list_model.h"
#include "app/window/error_list_printout.h"
#include "app/window/file_accounts_table.h"
#include "app/window/fix_list_view.h"
#include "app/window/folder_row.h"
#include "app/window/interstate_choice.h"
#include "app/window/reconciliation_view.h"
#include "app/window/run_status_line.h"
#include "app/window/voucher_dialog.h"
#include "disk/local_time.h"
#include "ledger/ledger_error.h"
#include "returns/check/filing_check.h"
#include "returns/facts/voucher_view.h"
#include "returns/fixes/fix_groups.h"
#include "returns/results/number_forms.h"
#include "returns/results/run_outcome_text.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"
#include "returns/run/server_catalogue.h"
#include "returns/year/year_run.h"

namespace {

const char* const kCheckedOnlyText = "Checked only: nothing was written in the month's folder.";

QString DateText(const std::optional<vat::LedgerDate>& date) {
    return date ? QString::fromStdString(date->DisplayText()) : QString();
}

void SetCaption(QWidget& window, const std::string& label, const std::string& caption) {
    window.findChild<QLabel*>(QString::fromStdString(label))
        ->setText(QString::fromStdString(vat::GroupedDigits(caption)));
}

// A filter's choice: the item's data, or nullopt for the first item, "All".
std::optional<QString> Choice(const QComboBox& filter) {
    if (filter.currentIndex() <= 0) return std::nullopt;
    return filter.currentData().toString();
}

// Brings a filter's items in line with the values the list holds; a list that starts again
// from nothing starts again with "All".
void OfferChoices(QComboBox& filter, const QStringList& values, const QString& unnamed) {
    if (filter.count() == values.size() + 1) return;
    if (filter.count() > values.size() + 1)
        while (filter.count() > 1) filter.removeItem(filter.count() - 1);
    for (qsizetype at = filter.count() - 1; at < values.size(); ++at)
        filter.addItem(values[at].isEmpty() ? unnamed : values[at], values[at]);
}

// A moment in the person's form, to the minute: "07/12/2026 17:20".
QString ToTheMinute(const std::string& personsTime) {
    return QString::fromStdString(personsTime.substr(0, 16));
}

// After a run that did not complete, what the window still shows: the month's last completed
// run, its run record, or nothing.
QString KeptRunText(bool cancelled, const vat::RunResult& shown, const RunDescription& run,
                    const QString& recordTime) {
    const QString ended = cancelled ? "The run was cancelled" : "The run did not complete";
    if (!recordTime.isEmpty()) return ended + "; shown: the run record of " + recordTime + ".";
    if (!shown.Completed() || !run.endedAt) return ended + "; no run of the month is shown.";
    return ended + QString("; shown: the run of %1 completed %2.")
                       .arg(QString::fromStdString(run.period),
                            ToTheMinute(vat::PersonsTimeText(*run.endedAt)));
}

// "Generate Files writes the month's six return files (efile_pur05.xml and the others for May)
// into the month's folder (demo2014/2014-15/05) in the output folder, replacing earlier ones."
std::string FilesNoteText(int monthNumber, const std::string& monthFolder) {
    const std::string tag = vat::ReturnPeriod{monthNumber, 0}.MonthTag();
    return "Generate Files writes the month's six return files (efile_pur" + tag +
           ".xml and the others for " + vat::MonthTitle(monthNumber) +
           ") into the month's folder (" + monthFolder +
           ") in the output folder, replacing earlier ones.";
}

}  // namespace

void MainWindow::connectHandlers() {
    connect(dataFileCombo_, &QComboBox::currentIndexChanged, this, &MainWindow::onDataFileChosen);
    connect(monthCombo_, &QComboBox::currentIndexChanged, this, [this] {
        showChosenMonth();
        checkChosenMonth();
    });
    connect(folderRow_, &FolderRow::layoutChosen, this, [this] {
        // A record read from the other layout's month folder is not of this one.
        if (!shownRun_.Completed()) showChosenMonth();
        showFilesNote();
    });
    connect(generateButton_, &QPushButton::clicked, this, &MainWindow::runGeneration);
    connect(checkOnlyButton_, &QPushButton::clicked, this, &MainWindow::runCheckOnly);
    connect(yearButton_, &QPushButton::clicked, this, &MainWindow::openYearView);
    connect(retryButton_, &QPushButton::clicked, this, &MainWindow::connectToServer);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printErrorList);
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelRun);
    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::exportErrorList);
    connect(typeFilter_, &QComboBox::currentIndexChanged, this,
            [this] { errorGrid_->filterByType(Choice(*typeFilter_)); });
    connect(fileFilter_, &QComboBox::currentIndexChanged, this,
            [this] { errorGrid_->filterByFile(Choice(*fileFilter_)); });
    connect(errorGrid_, &ErrorGrid::rowChosen, this,
            [this](const vat::ErrorRow& row) { showVoucher(row.voucher); });
    connect(reconciliationView_, &ReconciliationView::voucherChosen, this,
            [this](long long voucher) { showVoucher(voucher); });
    connect(fixList_, &FixListView::rowChosen, this,
            [this](std::size_t row) { showVoucher(shownRun_.rows.at(row).voucher); });
    connect(fixList_, &FixListView::partyChosen, this, &MainWindow::showParty);
    connect(errorGrid_, &ErrorGrid::currentRowShown, this, [this](const vat::ErrorRow* row) {
        errorDetail_->setPlainText(row ? RowDetail(*row) : QString());
    });
}

bool MainWindow::loadDataFiles() {
    fillMonthList();
    return connectToServer();
}

// Without the server the window stays open, offering Retry in place of Generate Files.
bool MainWindow::connectToServer() {
    const vat::ServerCatalogue server = vat::OpenServerCatalogue(ledger_);
    for (const vat::UserMessage& message : server.messages) present(message);
    retryButton_->setVisible(!server.connected);
    generateButton_->setVisible(server.connected);
    if (server.connected) fillDataFileList(server.dataFiles);
    return server.connected;
}

void MainWindow::fillMonthList() {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        monthCombo_->addItem(
            QString::fromLatin1(month.name.data(), static_cast<qsizetype>(month.name.size())),
            month.number);
    monthCombo_->setCurrentIndex(0);
}

// The list is filled quietly; only the selection of its first entry reads a data file.
void MainWindow::fillDataFileList(const std::vector<std::string>& dataFiles) {
    {
        const QSignalBlocker quiet(dataFileCombo_);
        for (const std::string& name : dataFiles)
            dataFileCombo_->addItem(QString::fromStdString(name));
        dataFileCombo_->setCurrentIndex(-1);
    }
    if (dataFiles.empty())
        present({"No data file was found on the server.", false});
    else
        dataFileCombo_->setCurrentIndex(0);
}

void MainWindow::onDataFileChosen() {
    if (dataFileCombo_->currentIndex() < 0) return;
    dataFile_ = vat::SelectDataFile(ledger_, chosenDataFile());
    for (const vat::UserMessage& message : dataFile_.messages) present(message);
    // A data file that could not be read shows no year rather than the previous file's.
    const std::optional<vat::SelectedBooks>& books = dataFile_.books;
    yearStartEdit_->setText(books ? DateText(books->yearStart) : QString());
    yearEndEdit_->setText(books ? DateText(books->yearEnd) : QString());
    showChosenMonth();
    checkChosenMonth();
}

void MainWindow::printErrorList() {
    if (!reportable()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Validation Errors");
    if (dialog.exec() != QDialog::Accepted) return;
    PrintErrorList(MakeErrorListReport(shownRun_, latestRun_), printer);
}

// A report names the run it comes from; with no completed run shown there is none to make.
bool MainWindow::reportable() {
    if (shownRun_.Completed() && latestRun_.endedAt) return true;
    present({"There is no run to report: generate the month's files first.", false});
    return false;
}

// The suggested name carries the data file and the month, so that May's report does not
// overwrite April's.
void MainWindow::exportErrorList() {
    if (!reportable()) return;
    const std::string name = shownRun_.books->dataFile + "_" +
                             vat::ReturnPeriod{shownRun_.monthNumber, 0}.MonthTag() +
                             "_errors.xlsx";
    const QString suggested =
        QString::fromStdString((folderRow_->folders().output / name).string());
    const QString file =
        messages_->askSaveFile("Export Validation Errors", suggested,
                               "Excel workbook (*.xlsx);;CSV, comma-separated (*.csv)", "xlsx");
    if (file.isEmpty()) return;
    try {
        ExportErrorList(MakeErrorListReport(shownRun_, latestRun_), file.toStdString());
        present({"The error list was exported to " + file.toStdString() + ".", false});
    } catch (const ExportError& error) {
        present({error.what(), true});
    }
}

// The rows and items name vouchers of the data file they were read from; another data file's
// books would show the wrong voucher.
void MainWindow::showVoucher(std::optional<long long> voucher) {
    const std::string madeFrom = shownRun_.books ? shownRun_.books->dataFile : std::string();
    if (!dataFile_.books || dataFile_.books->dataFile != madeFrom) {
        present({"The error list was made from the data file " + madeFrom +
                     ". Select it again to look at its vouchers.",
                 false});
        return;
    }
    if (!voucher) {
        present({"This row names no voucher of the data file.", false});
        return;
    }
    try {
        const vat::VoucherView view = vat::ReadVoucherView(ledger_, *voucher);
        auto* dialog = new VoucherDialog(view, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    } catch (const vat::LedgerError& error) {
        present({"The voucher could not be read.", true, error.what()});
    }
}

// The party as the shown run's documents found it.
void MainWindow::showParty(long long party) { present({PartyText(party, shownRun_.notes), false}); }

std::string MainWindow::chosenDataFile() const {
    return dataFileCombo_->currentIndex() < 0 ? std::string()
                                              : dataFileCombo_->currentText().toStdString();
}

int MainWindow::chosenMonth() const {
    return monthCombo_->currentIndex() < 0 ? 0 : monthCombo_->currentData().toInt();
}

bool MainWindow::busy() const { return job_->running(); }

vat::RunSelection MainWindow::chosenSelection() const {
    return {.books = dataFile_.books,
            .dataFile = chosenDataFile(),
            .monthNumber = chosenMonth(),
            .folders = folderRow_->folders(),
            .interstateParties = interstateChoice_->parties()};
}

void MainWindow::runGeneration() {
    vat::RunSelection selection = chosenSelection();
    // The user's data folder may not exist yet; a failure shows as the run's own.
    std::error_code ignored;
    std::filesystem::create_directories(selection.folders.output, ignored);
    if (selection.monthNumber != 0 && selection.books && !selection.dataFile.empty()) {
        const auto monthFolder =
            vat::MonthFolder(selection.folders, *selection.books, selection.monthNumber);
        if (auto owner =
                vat::OtherBooksFiles(monthFolder, *selection.books, selection.interstateParties)) {
            if (!messages_->confirm(QString::fromStdString(owner->text +
                                                           ".\n\nReplace them with the files of " +
                                                           selection.dataFile + "?")))
                return;
            selection.replaceOtherBooks = true;
        }
    }
    if (!confirmRevisionRun(selection)) return;
    startMonthJob(selection, false);
}

// The month run into a throwaway folder: the month folder, its lock and its files stay as
// they are, so nothing needs confirming.
void MainWindow::runCheckOnly() { startMonthJob(chosenSelection(), true); }

void MainWindow::startMonthJob(const vat::RunSelection& selection, bool checkOnly) {
    // A books check going on is dropped: the run rewrites what it would compare.
    booksChangedLabel_->hide();
    setRunning(true);
    auto result = std::make_shared<vat::RunResult>();
    auto revision = std::make_shared<vat::RunRevision>();
    job_->start(
        [this, selection, checkOnly, result, revision](vat::LedgerConnection& ledger,
                                                       const vat::RunCancel& cancel) {
            PostedProgress progress(*job_,
                                    [this](const QString& file, long long done, long long total) {
                                        runStatus_->show(file, done, total);
                                    });
            *result = checkOnly ? vat::CheckBeforeFiling(ledger, selection, progress, &cancel)
                                : vat::GenerationRun(ledger, selection, progress, &cancel);
            if (!checkOnly) *revision = vat::RevisionOfRun(*result, selection.folders);
        },
        [this, result, checkOnly, revision] {
            if (result->Completed()) sinceFiling_ = std::move(*revision);
            showRunEnded(std::move(*result), checkOnly);
        });
}

// A run that did not complete changed nothing: the window keeps the month's last completed run,
// which is of the chosen data file and month, and says so.
void MainWindow::showRunEnded(vat::RunResult result, bool checkOnly) {
    setRunning(false);
    if (result.outcome == vat::RunOutcome::NoMonth) monthCombo_->setFocus();
    if (result.outcome == vat::RunOutcome::NoDataFile) dataFileCombo_->setFocus();
    const std::vector<vat::UserMessage> messages = result.messages;
    if (result.Completed()) {
        if (!result.FilesWritten().empty()) folderRow_->showRunFolder(result.monthFolder);
        latestRun_ = DescribeRun(result, std::chrono::system_clock::now());
        showRun(std::move(result));
        if (checkOnly) runStatus_->showText(kCheckedOnlyText);
    } else if (result.outcome != vat::RunOutcome::NoMonth &&
               result.outcome != vat::RunOutcome::NoDataFile) {
        runStatus_->showText(KeptRunText(result.outcome == vat::RunOutcome::Cancelled, shownRun_,
                                         latestRun_, shownRecordTime_));
    }
    showRunMessages(messages);
}

// What the window shows is of the chosen data file and month: its latest run here, else what
// the month folder's run record of the chosen books keeps, else nothing. Another company's or
// month's figures would pass for the chosen one's.
void MainWindow::showChosenMonth() {
    showFilesNote();
    if (shownRun_.books && shownRun_.books->dataFile == chosenDataFile() &&
        shownRun_.monthNumber == chosenMonth())
        return;
    latestRun_ = {};
    showRun({});
    const int month = chosenMonth();
    if (month == 0 || !dataFile_.books) return;
    if (const std::optional<vat::RunRecord> record = vat::OwnRunRecord(
            vat::MonthFolder(folderRow_->folders(), *dataFile_.books, month), *dataFile_.books))
        showRecord(*record);
}

// Where Generate Files puts the chosen month's files, under the chosen layout.
void MainWindow::showFilesNote() {
    const int month = chosenMonth();
    const vat::ReturnFolders folders = folderRow_->folders();
    std::string folder = vat::ReturnPeriod{month == 0 ? 4 : month, 0}.MonthTag();
    if (dataFile_.books && month != 0)
        folder = vat::MonthFolder(folders, *dataFile_.books, month)
                     .lexically_relative(folders.output)
                     .string();
    filesNote_->setText(QString::fromStdString(FilesNoteText(month == 0 ? 4 : month, folder)));
}

// A record keeps the figures and the file accounts, not the error rows: the list stays empty
// and Export and Print refuse, as there is no run to report.
void MainWindow::showRecord(const vat::RunRecord& record) {
    for (const auto& [label, caption] : vat::CaptionsOf(record.figures))
        SetCaption(*this, label, caption);
    ShowFileAccounts(*runAccounts_, record.accounts);
    shownRecordTime_ = ToTheMinute(vat::PersonsForm(record.writtenAt));
    runStatus_->showText(
        QString("From the run record of %1; generate to see the error list").arg(shownRecordTime_));
}

void MainWindow::showRun(vat::RunResult result) {
    shownRun_ = std::move(result);
    shownRecordTime_.clear();
    for (const auto& [label, caption] : vat::CaptionsOf(shownRun_.figures))
        SetCaption(*this, label, caption);
    errorGrid_->showRows(shownRun_.rows);
    refreshFilterChoices();
    ShowFileAccounts(*runAccounts_, shownRun_.accounts);
    reconciliationView_->show(shownRun_.reconciliation);
    fixList_->show(vat::GroupFixes(shownRun_.rows, shownRun_.notes), shownRun_.rows);
    runStatus_->showText(
        QString::fromStdString(vat::RunOutcomeText(shownRun_.accounts, shownRun_.checkedOnly)));
    showFiling();
}

// The run stops at its next voucher or file; a statement waiting for the server stops at once.
void MainWindow::cancelRun() { job_->cancel(); }

// All but the run's last word in one box, then the last word ("OVER", or why the run
// stopped) on its own.
void MainWindow::showRunMessages(const std::vector<vat::UserMessage>& runMessages) {
    if (runMessages.size() > 1) {
        vat::UserMessage together;
        for (auto message = runMessages.begin(); message != runMessages.end() - 1; ++message) {
            together.text += (together.text.empty() ? "" : "\n") + message->text;
            together.critical = together.critical || message->critical;
            if (!message->detail.empty())
                together.detail += (together.detail.empty() ? "" : "\n") + message->detail;
        }
        present(together);
    }
    if (!runMessages.empty()) present(runMessages.back());
}

// While a run goes on, nothing that would start another or change what it reads is enabled.
void MainWindow::setRunning(bool running) {
    if (!running) runStatus_->clear();
    // The control that started the run has the focus again after it, as it had before.
    if (running && !running_) focusBeforeRun_ = focusWidget();
    running_ = running;
    for (QWidget* control :
         {static_cast<QWidget*>(monthCombo_), static_cast<QWidget*>(dataFileCombo_),
          static_cast<QWidget*>(generateButton_), static_cast<QWidget*>(checkOnlyButton_),
          static_cast<QWidget*>(yearButton_), static_cast<QWidget*>(printButton_),
          static_cast<QWidget*>(folderRow_), static_cast<QWidget*>(exportButton_),
          static_cast<QWidget*>(markFiledButton_), static_cast<QWidget*>(interstateChoice_)})
        control->setEnabled(!running);
    cancelButton_->setVisible(running);
    if (!running && focusBeforeRun_ && focusBeforeRun_->isEnabled())
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
}

// A run is stopped only when the user says so; a books check is simply dropped. Either way the
// window waits for the job's thread, which a cancel ends within a moment.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_ &&
        !messages_->confirm("Files are being generated. Cancel the run and close the window?")) {
        event->ignore();
        return;
    }
    job_->drop();
    job_->wait();
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    arrange();
    QWidget::resizeEvent(event);
}

void MainWindow::refreshFilterChoices() {
    OfferChoices(*typeFilter_, errorGrid_->types(), "(no type)");
    OfferChoices(*fileFilter_, errorGrid_->files(), "(no file)");
}

void MainWindow::present(const vat::UserMessage& message) {
    messages_->show(QString::fromStdString(message.text), message.critical,
                    QString::fromStdString(message.detail));
}
