#include "app/form1.h"

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
#include "app/run_status_line.h"
#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"
#include "returns/data_file_selection.h"
#include "returns/generation_run.h"
#include "returns/return_period.h"

namespace {

// How often a run's progress is painted at most; painting after every voucher would slow the
// run down more than it tells the user.
constexpr qint64 kProgressPaintMilliseconds = 100;

QString DateText(const std::optional<vat::LedgerDate>& date) {
    return date ? QString::fromStdString(date->DisplayText()) : QString();
}

}  // namespace

void Form1::ConnectHandlers() {
    connect(Combo2, &QComboBox::currentIndexChanged, this, &Form1::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::GenerationRun);
    connect(btn_Print, &QPushButton::clicked, this, &Form1::btn_Print_Click);
}

bool Form1::Form_Load() {
    FillMonthList();
    std::vector<std::string> dataFiles;
    try {
        vat::ConnectLedger(ledger_, "edb", false);
        dataFiles = vat::ListDataFiles(ledger_);
    } catch (const vat::LedgerError&) {
        state_.ShowMessage({"UNABLE TO CONNECT", false});
        return false;
    }
    FillDataFileList(dataFiles);
    SetupErrorGrid();
    return true;
}

void Form1::FillMonthList() {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        Combo1->addItem(QString::fromLatin1(month.name.data(), month.name.size()), month.number);
    Combo1->setCurrentIndex(0);
}

// The list is filled quietly; only the selection of its first entry reads a data file.
void Form1::FillDataFileList(const std::vector<std::string>& dataFiles) {
    {
        const QSignalBlocker quiet(Combo2);
        for (const std::string& name : dataFiles) Combo2->addItem(QString::fromStdString(name));
        Combo2->setCurrentIndex(-1);
    }
    if (dataFiles.empty())
        state_.ShowMessage({"No data file was found on the server.", false});
    else
        Combo2->setCurrentIndex(0);
}

void Form1::Combo2_Click() {
    if (Combo2->currentIndex() < 0) return;
    vat::SelectDataFile(ledger_, state_, Combo2->currentText().toStdString());
    // A data file that could not be read shows no year rather than the previous file's.
    Text1->setText(state_.DataFileReady ? DateText(state_.YearStart) : QString());
    Text2->setText(state_.DataFileReady ? DateText(state_.YearEnd) : QString());
}

void Form1::SetupErrorGrid() { FormatErrorGrid(*grd_Errors); }

void Form1::btn_Print_Click() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Validation Errors");
    if (dialog.exec() != QDialog::Accepted) return;
    PrintErrorList(state_.ErrorRows(), printer);
}

void Form1::GenerationRun() {
    const int month = Combo1->currentIndex() < 0 ? 0 : Combo1->currentData().toInt();
    const std::string dataFile =
        Combo2->currentIndex() < 0 ? std::string() : Combo2->currentText().toStdString();
    SetRunning(true);
    const vat::RunOutcome outcome =
        vat::GenerationRun(ledger_, state_, month, dataFile, programFolder_);
    SetRunning(false);
    if (outcome == vat::RunOutcome::NoMonth) Combo1->setFocus();
    if (outcome == vat::RunOutcome::NoDataFile) Combo2->setFocus();
}

// The run keeps the window's thread, so it paints itself while the user's clicks and keys
// wait in the queue; those are let through only while the controls are still disabled, where
// they do nothing, so that a click made during a run cannot start another.
void Form1::SetRunning(bool running) {
    if (!running) {
        QCoreApplication::processEvents();
        runStatus_->Clear();
        progressFile_.clear();
    }
    running_ = running;
    for (QWidget* control : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo2),
                             static_cast<QWidget*>(Command1), static_cast<QWidget*>(btn_Print)})
        control->setEnabled(!running);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void Form1::CaptionChanged(const std::string& label, const std::string& caption) {
    findChild<QLabel*>(QString::fromStdString(label))->setText(QString::fromStdString(caption));
}

void Form1::ErrorRowsChanged() { ShowErrorRows(*grd_Errors, state_.ErrorRows()); }

void Form1::ShowMessage(const vat::UserMessage& message) {
    messages_->Show(QString::fromStdString(message.text), message.critical);
}

void Form1::Progress(const std::string& file, long long done, long long total) {
    const bool newFile = file != progressFile_;
    if (!newFile && done != total && sinceProgressShown_.isValid() &&
        sinceProgressShown_.elapsed() < kProgressPaintMilliseconds)
        return;
    progressFile_ = file;
    sinceProgressShown_.start();
    runStatus_->Show(QString::fromStdString(std::filesystem::path(file).filename().string()), done,
                     total);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form1::Repaint() { repaint(); }
