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

#include "app/error_grid.h"
#include "app/error_list_printout.h"
#include "app/folder_row.h"
#include "app/run_status_line.h"
#include "returns/data_file_selection.h"
#include "returns/generation_run.h"
#include "returns/return_period.h"
#include "returns/server_catalogue.h"

namespace {

// How often a run's progress is painted at most; painting after every voucher would slow the
// run down more than it tells the user.
constexpr qint64 kProgressPaintMilliseconds = 100;

QString DateText(const std::optional<vat::LedgerDate>& date) {
    return date ? QString::fromStdString(date->DisplayText()) : QString();
}

}  // namespace

void MainWindow::connectHandlers() {
    connect(dataFileCombo_, &QComboBox::currentIndexChanged, this, &MainWindow::onDataFileChosen);
    connect(generateButton_, &QPushButton::clicked, this, &MainWindow::runGeneration);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printErrorList);
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelRun);
}

bool MainWindow::loadDataFiles() {
    fillMonthList();
    const vat::ServerCatalogue server = vat::OpenServerCatalogue(ledger_, state_);
    if (!server.connected) return false;
    fillDataFileList(server.dataFiles);
    FormatErrorGrid(*errorGrid_);
    return true;
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
}

void MainWindow::printErrorList() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Validation Errors");
    if (dialog.exec() != QDialog::Accepted) return;
    PrintErrorList(state_.ErrorRows(), printer);
}

void MainWindow::runGeneration() {
    const int month = monthCombo_->currentIndex() < 0 ? 0 : monthCombo_->currentData().toInt();
    const std::string dataFile = dataFileCombo_->currentIndex() < 0
                                     ? std::string()
                                     : dataFileCombo_->currentText().toStdString();
    const vat::ReturnFolders folders = folderRow_->Folders();
    // The user's data folder may not exist yet; a failure shows as the run's own.
    std::error_code ignored;
    std::filesystem::create_directories(folders.output, ignored);
    vat::RunCancel cancel(ledger_);
    runCancel_ = &cancel;
    setRunning(true);
    const vat::RunOutcome outcome = vat::GenerationRun(ledger_, state_, month, dataFile, folders,
                                                       vat::FactReading::PerList, &cancel);
    runCancel_ = nullptr;
    setRunning(false);
    if (!state_.FilesWritten.empty())
        folderRow_->ShowRunFolder(std::filesystem::path(state_.FilesWritten.front()).parent_path());
    if (outcome == vat::RunOutcome::NoMonth) monthCombo_->setFocus();
    if (outcome == vat::RunOutcome::NoDataFile) dataFileCombo_->setFocus();
}

// The run stops at its next voucher or file; a statement waiting for the server stops at once.
void MainWindow::cancelRun() {
    if (runCancel_) runCancel_->Request();
}

// The run keeps the window's thread and lets the user's clicks and keys through as it shows
// its progress, so that Cancel works; every control that could start something else is
// disabled meanwhile, so that a click made during a run cannot start another.
void MainWindow::setRunning(bool running) {
    if (!running) {
        QCoreApplication::processEvents();
        runStatus_->Clear();
        progressFile_.clear();
    }
    running_ = running;
    for (QWidget* control :
         {static_cast<QWidget*>(monthCombo_), static_cast<QWidget*>(dataFileCombo_),
          static_cast<QWidget*>(generateButton_), static_cast<QWidget*>(printButton_),
          static_cast<QWidget*>(folderRow_)})
        control->setEnabled(!running);
    cancelButton_->setVisible(running);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void MainWindow::CaptionChanged(const std::string& label, const std::string& caption) {
    findChild<QLabel*>(QString::fromStdString(label))->setText(QString::fromStdString(caption));
}

void MainWindow::ErrorRowsChanged() { ShowErrorRows(*errorGrid_, state_.ErrorRows()); }

void MainWindow::ShowMessage(const vat::UserMessage& message) {
    messages_->Show(QString::fromStdString(message.text), message.critical);
}

void MainWindow::Progress(const std::string& file, long long done, long long total) {
    const bool newFile = file != progressFile_;
    if (!newFile && done != total && sinceProgressShown_.isValid() &&
        sinceProgressShown_.elapsed() < kProgressPaintMilliseconds)
        return;
    progressFile_ = file;
    sinceProgressShown_.start();
    runStatus_->Show(QString::fromStdString(std::filesystem::path(file).filename().string()), done,
                     total);
    QCoreApplication::processEvents();
}

void MainWindow::Repaint() { repaint(); }
