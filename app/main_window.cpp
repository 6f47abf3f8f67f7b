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
#include "app/voucher_dialog.h"
#include "ledger/ledger_error.h"
#include "returns/facts/voucher_view.h"
#include "returns/results/run_outcome_text.h"
#include "returns/rules/return_period.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/server_catalogue.h"

namespace {

QString DateText(const std::optional<vat::LedgerDate>& date) {
    return date ? QString::fromStdString(date->DisplayText()) : QString();
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
    const vat::ServerCatalogue server = vat::OpenServerCatalogue(ledger_, state_);
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
        state_.ShowMessage({"No data file was found on the server.", false});
    else
        dataFileCombo_->setCurrentIndex(0);
}

void MainWindow::onDataFileChosen() {
    if (dataFileCombo_->currentIndex() < 0) return;
    vat::SelectDataFile(ledger_, state_, dataFileCombo_->currentText().toStdString());
    // A data file that could not be read shows no year rather than the previous file's.
    yearStartEdit_->setText(state_.DataFileReady ? DateText(state_.YearStart) : QString());
    yearEndEdit_->setText(state_.DataFileReady ? DateText(state_.YearEnd) : QString());
    checkChosenMonth();
}

void MainWindow::printErrorList() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Validation Errors");
    if (dialog.exec() != QDialog::Accepted) return;
    PrintErrorList(MakeErrorListReport(state_, latestRun_), printer);
}

void MainWindow::exportErrorList() {
    const QString suggested = QString::fromStdString(
        (folderRow_->Folders().output / (state_.SelectedDataFile + "_errors.xlsx")).string());
    const QString file =
        messages_->AskSaveFile("Export Validation Errors", suggested,
                               "Excel workbook (*.xlsx);;CSV, comma-separated (*.csv)", "xlsx");
    if (file.isEmpty()) return;
    try {
        ExportErrorList(MakeErrorListReport(state_, latestRun_), file.toStdString());
    } catch (const ExportError& error) {
        present({error.what(), true});
    }
}

// The rows name vouchers of the data file they were read from; another data file's books
// would show the wrong voucher.
void MainWindow::showVoucherOf(const vat::ErrorRow& row) {
    if (running_) return;
    if (!state_.DataFileReady || state_.SelectedDataFile != errorListDataFile_) {
        present({"The error list was made from the data file " + errorListDataFile_ +
                     ". Select it again to look at its vouchers.",
                 false});
        return;
    }
    try {
        std::vector<long long> vouchers = vat::VouchersOfRow(ledger_, row);
        if (vouchers.empty()) {
            present({"This row names no voucher of the data file.", false});
            return;
        }
        const vat::VoucherView view = vat::ReadVoucherView(ledger_, vouchers.front());
        vouchers.erase(vouchers.begin());
        auto* dialog = new VoucherDialog(view, vouchers, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    } catch (const vat::LedgerError& error) {
        present({"The voucher could not be read.", true, error.what()});
    }
}

int MainWindow::chosenMonth() const {
    return monthCombo_->currentIndex() < 0 ? 0 : monthCombo_->currentData().toInt();
}

void MainWindow::runGeneration() {
    const int month = chosenMonth();
    const std::string dataFile = dataFileCombo_->currentIndex() < 0
                                     ? std::string()
                                     : dataFileCombo_->currentText().toStdString();
    const vat::ReturnFolders folders = folderRow_->Folders();
    // The user's data folder may not exist yet; a failure shows as the run's own.
    std::error_code ignored;
    std::filesystem::create_directories(folders.output, ignored);
    bool replaceOtherBooks = false;
    if (month != 0 && state_.DataFileReady && !dataFile.empty()) {
        const auto monthFolder = folders.output / vat::ReturnPeriod{month, 0}.MonthTag();
        if (auto owner = vat::OtherBooksFiles(monthFolder, state_)) {
            if (!messages_->Confirm(QString::fromStdString(
                    *owner + ".\n\nReplace them with the files of " + dataFile + "?")))
                return;
            replaceOtherBooks = true;
        }
    }
    vat::RunCancel cancel(ledger_);
    runCancel_ = &cancel;
    setRunning(true);
    const vat::RunOutcome outcome =
        vat::GenerationRun(ledger_, state_, month, dataFile, folders, vat::FactReading::PerList,
                           &cancel, replaceOtherBooks);
    runCancel_ = nullptr;
    setRunning(false);
    if (!state_.FilesWritten.empty())
        folderRow_->ShowRunFolder(std::filesystem::path(state_.FilesWritten.front()).parent_path());
    // The month's files are now what its books give.
    if (outcome == vat::RunOutcome::Completed) booksChangedLabel_->hide();
    if (outcome == vat::RunOutcome::Completed || outcome == vat::RunOutcome::Failed) {
        latestRun_ = DescribeRun(state_, month, std::chrono::system_clock::now());
        ShowFileAccounts(*runAccounts_, state_.FileAccounts);
        runStatus_->ShowText(QString::fromStdString(vat::RunOutcomeText(state_.FileAccounts)));
    }
    showHeldMessages();
    if (outcome == vat::RunOutcome::NoMonth) monthCombo_->setFocus();
    if (outcome == vat::RunOutcome::NoDataFile) dataFileCombo_->setFocus();
}

// The run stops at its next voucher or file; a statement waiting for the server stops at once.
void MainWindow::cancelRun() {
    if (runCancel_) runCancel_->Request();
}

// All but the run's last word in one box, then the last word ("OVER", or why the run
// stopped) on its own.
void MainWindow::showHeldMessages() {
    std::vector<vat::UserMessage> held = std::move(heldMessages_);
    heldMessages_.clear();
    if (held.size() > 1) {
        vat::UserMessage together;
        for (auto message = held.begin(); message != held.end() - 1; ++message) {
            together.text += (together.text.empty() ? "" : "\n") + message->text;
            together.critical = together.critical || message->critical;
            if (!message->detail.empty())
                together.detail += (together.detail.empty() ? "" : "\n") + message->detail;
        }
        present(together);
    }
    if (!held.empty()) present(held.back());
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

void MainWindow::CaptionChanged(const std::string& label, const std::string& caption) {
    findChild<QLabel*>(QString::fromStdString(label))->setText(QString::fromStdString(caption));
}

void MainWindow::ErrorRowsChanged() {
    if (errorGrid_->RowCount() == 0 && !state_.ErrorRows().empty())
        errorListDataFile_ = state_.SelectedDataFile;
    errorGrid_->ShowRows(state_.ErrorRows());
    refreshFilterChoices();
}

void MainWindow::refreshFilterChoices() {
    OfferChoices(*typeFilter_, errorGrid_->Types(), "(no type)");
    OfferChoices(*fileFilter_, errorGrid_->Files(), "(no file)");
}

void MainWindow::ShowMessage(const vat::UserMessage& message) {
    if (running_)
        heldMessages_.push_back(message);
    else
        present(message);
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

void MainWindow::Repaint() { repaint(); }
