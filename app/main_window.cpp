#include "app/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <chrono>

#include "app/error_grid.h"
#include "app/error_list_printout.h"
#include "app/export/error_list_export.h"
#include "app/file_accounts_table.h"
#include "app/folder_row.h"
#include "app/run_status_line.h"
#include "app/shared/summary_captions.h"
#include "app/voucher_dialog.h"
#include "ledger/ledger_error.h"
#include "returns/facts/voucher_view.h"
#include "returns/results/run_outcome_text.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"
#include "returns/run/server_catalogue.h"

namespace {

QString DateText(const std::optional<vat::LedgerDate>& date) {
    return date ? QString::fromStdString(date->DisplayText()) : QString();
}

void SetCaption(QWidget& window, const std::string& label, const std::string& caption) {
    window.findChild<QLabel*>(QString::fromStdString(label))
        ->setText(QString::fromStdString(caption));
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

}  // namespace

void MainWindow::connectHandlers() {
    connect(dataFileCombo_, &QComboBox::currentIndexChanged, this, &MainWindow::onDataFileChosen);
    connect(monthCombo_, &QComboBox::currentIndexChanged, this, &MainWindow::checkChosenMonth);
    connect(generateButton_, &QPushButton::clicked, this, &MainWindow::runGeneration);
    connect(yearButton_, &QPushButton::clicked, this, &MainWindow::openYearView);
    connect(retryButton_, &QPushButton::clicked, this, &MainWindow::connectToServer);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printErrorList);
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelRun);
    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::exportErrorList);
    connect(typeFilter_, &QComboBox::currentIndexChanged, this,
            [this] { errorGrid_->FilterByType(Choice(*typeFilter_)); });
    connect(fileFilter_, &QComboBox::currentIndexChanged, this,
            [this] { errorGrid_->FilterByFile(Choice(*fileFilter_)); });
    connect(errorGrid_, &ErrorGrid::rowChosen, this, &MainWindow::showVoucherOf);
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
        monthCombo_->addItem(QString::fromLatin1(month.name.data(), month.name.size()),
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
    checkChosenMonth();
}

void MainWindow::printErrorList() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Validation Errors");
    if (dialog.exec() != QDialog::Accepted) return;
    PrintErrorList(MakeErrorListReport(shownRun_, latestRun_), printer);
}

void MainWindow::exportErrorList() {
    const QString suggested = QString::fromStdString(
        (folderRow_->Folders().output / (chosenDataFile() + "_errors.xlsx")).string());
    const QString file =
        messages_->AskSaveFile("Export Validation Errors", suggested,
                               "Excel workbook (*.xlsx);;CSV, comma-separated (*.csv)", "xlsx");
    if (file.isEmpty()) return;
    try {
        ExportErrorList(MakeErrorListReport(shownRun_, latestRun_), file.toStdString());
    } catch (const ExportError& error) {
        present({error.what(), true});
    }
}

// The rows name vouchers of the data file they were read from; another data file's books
// would show the wrong voucher.
void MainWindow::showVoucherOf(const vat::ErrorRow& row) {
    if (running_) return;
    const std::string madeFrom = shownRun_.books ? shownRun_.books->dataFile : std::string();
    if (!dataFile_.books || dataFile_.books->dataFile != madeFrom) {
        present({"The error list was made from the data file " + madeFrom +
                     ". Select it again to look at its vouchers.",
                 false});
        return;
    }
    if (!row.voucher) {
        present({"This row names no voucher of the data file.", false});
        return;
    }
    try {
        const vat::VoucherView view = vat::ReadVoucherView(ledger_, *row.voucher);
        auto* dialog = new VoucherDialog(view, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    } catch (const vat::LedgerError& error) {
        present({"The voucher could not be read.", true, error.what()});
    }
}

std::string MainWindow::chosenDataFile() const {
    return dataFileCombo_->currentIndex() < 0 ? std::string()
                                              : dataFileCombo_->currentText().toStdString();
}

int MainWindow::chosenMonth() const {
    return monthCombo_->currentIndex() < 0 ? 0 : monthCombo_->currentData().toInt();
}

void MainWindow::runGeneration() {
    vat::RunSelection selection{.books = dataFile_.books,
                                .dataFile = chosenDataFile(),
                                .monthNumber = chosenMonth(),
                                .folders = folderRow_->Folders()};
    // The user's data folder may not exist yet; a failure shows as the run's own.
    std::error_code ignored;
    std::filesystem::create_directories(selection.folders.output, ignored);
    if (selection.monthNumber != 0 && selection.books && !selection.dataFile.empty()) {
        const auto monthFolder =
            vat::MonthFolder(selection.folders, *selection.books, selection.monthNumber);
        if (auto owner = vat::OtherBooksFiles(monthFolder, *selection.books)) {
            if (!messages_->Confirm(QString::fromStdString(
                    *owner + ".\n\nReplace them with the files of " + selection.dataFile + "?")))
                return;
            selection.replaceOtherBooks = true;
        }
    }
    vat::RunCancel cancel(ledger_);
    runCancel_ = &cancel;
    setRunning(true);
    const vat::RunResult result = vat::GenerationRun(ledger_, selection, *this, &cancel);
    runCancel_ = nullptr;
    setRunning(false);
    if (result.outcome == vat::RunOutcome::NoMonth) monthCombo_->setFocus();
    if (result.outcome == vat::RunOutcome::NoDataFile) dataFileCombo_->setFocus();
    if (result.Completed()) {
        if (!result.FilesWritten().empty()) folderRow_->ShowRunFolder(result.monthFolder);
        // The month's files are now what its books give.
        booksChangedLabel_->hide();
        latestRun_ = DescribeRun(result, std::chrono::system_clock::now());
        showRun(result);
    } else if (shownRun_.books && shownRun_.books->dataFile != selection.dataFile) {
        // Another data file's figures and rows would pass for this one's.
        latestRun_ = {};
        showRun({});
    }
    showRunMessages(result.messages);
}

void MainWindow::showRun(vat::RunResult result) {
    shownRun_ = std::move(result);
    for (const auto& [label, caption] : vat::CaptionsOf(shownRun_.figures))
        SetCaption(*this, label, caption);
    errorGrid_->ShowRows(shownRun_.rows);
    refreshFilterChoices();
    ShowFileAccounts(*runAccounts_, shownRun_.accounts);
    runStatus_->ShowText(QString::fromStdString(vat::RunOutcomeText(shownRun_.accounts)));
}

// The run stops at its next voucher or file; a statement waiting for the server stops at once.
void MainWindow::cancelRun() {
    if (runCancel_) runCancel_->Request();
}

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

// The run keeps the window's thread, so it paints itself while the user's clicks and keys
// wait in the queue; those are let through only while the controls are still disabled, where
// they do nothing, so that a click made during a run cannot start another.
void MainWindow::setRunning(bool running) {
    if (!running) {
        QCoreApplication::processEvents();
        runStatus_->Clear();
        progressThrottle_.Reset();
    }
    running_ = running;
    for (QWidget* control :
         {static_cast<QWidget*>(monthCombo_), static_cast<QWidget*>(dataFileCombo_),
          static_cast<QWidget*>(generateButton_), static_cast<QWidget*>(yearButton_),
          static_cast<QWidget*>(printButton_), static_cast<QWidget*>(folderRow_),
          static_cast<QWidget*>(exportButton_)})
        control->setEnabled(!running);
    cancelButton_->setVisible(running);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

// The list takes the room the window gains beyond its least size.
void MainWindow::resizeEvent(QResizeEvent* event) {
    growth_.Apply(size() - minimumSize());
    QWidget::resizeEvent(event);
}

void MainWindow::refreshFilterChoices() {
    OfferChoices(*typeFilter_, errorGrid_->Types(), "(no type)");
    OfferChoices(*fileFilter_, errorGrid_->Files(), "(no file)");
}

void MainWindow::present(const vat::UserMessage& message) {
    messages_->Show(QString::fromStdString(message.text), message.critical,
                    QString::fromStdString(message.detail));
}

void MainWindow::Progress(const std::string& file, long long done, long long total) {
    if (!progressThrottle_.Due(file, done, total)) return;
    runStatus_->Show(QString::fromStdString(std::filesystem::path(file).filename().string()), done,
                     total);
    QCoreApplication::processEvents();
}
