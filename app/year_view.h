#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

#include "app/progress_throttle.h"
#include "app/year_table.h"
#include "ledger/ledger_connection.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/return_folders.h"
#include "returns/run/run_cancel.h"

class QLabel;
class QPushButton;
class QTableWidget;
class YearChart;

// The data file's financial year at a glance: a row and a group of bars for each month, read
// from the month folders' run records when it opens, so that the year shows without running
// it. It runs all months or those not generated, and checks the books of the months generated,
// through the core's RunYear and CheckMonthBooks. A month's messages stay in its row rather
// than stopping the year with a box each. It works on the window's connection, so it is modal
// over the window.
class YearView : public QDialog, private vat::RunObserver {
    Q_OBJECT

public:
    YearView(vat::LedgerConnection& ledger, vat::SelectedBooks books, vat::ReturnFolders folders,
             QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void readRunRecords();
    void runMonths(bool onlyMissing);
    void checkBooks();
    void cancelRun();
    void setRunning(vat::RunCancel* cancel);
    void showRows();
    std::filesystem::path monthFolder(int monthNumber) const;

    // vat::RunObserver
    void Progress(const std::string& file, long long done, long long total) override;

    vat::LedgerConnection& ledger_;
    vat::SelectedBooks books_;  // the data file of the year: its name and its year
    vat::ReturnFolders folders_;
    YearRows rows_;
    vat::RunCancel* runCancel_ = nullptr;  // the cancel of the run going on, if any
    QString stage_;                        // "month 5 of 12", before the file's progress
    ProgressThrottle throttle_;

    QTableWidget* table_;
    YearChart* chart_;
    QLabel* progress_;
    QPushButton* runYearButton_;
    QPushButton* runMissingButton_;
    QPushButton* checkBooksButton_;
    QPushButton* cancelButton_;
};
