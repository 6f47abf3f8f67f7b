#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

#include "app/window/year/year_table.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/return_folders.h"

class BackgroundJob;
class MessagePresenter;
class QLabel;
class QPushButton;
class QTableWidget;
class YearChart;

// The data file's financial year at a glance: a row and a group of bars for each month, read
// from the month folders' run records when it opens, so that the year shows without running
// it. It runs all months or those not generated, and checks the books of the months generated,
// through the core's RunYear and CheckMonthBooks. A month's messages stay in its row rather
// than stopping the year with a box each. Runs and checks go on a thread of their own
// (BackgroundJob), on a connection of their own; the view is modal over the window, whose
// controls would otherwise start runs of the same months.
class YearView : public QDialog {
    Q_OBJECT

public:
    YearView(vat::SelectedBooks books, vat::ReturnFolders folders, MessagePresenter& messages,
             QWidget* parent);

protected:
    void reject() override;

private:
    void readRunRecords();
    void runMonths(bool onlyMissing);
    void checkBooks();
    void setRunning(bool running);
    void fitToScreen();
    void showRows();
    std::filesystem::path monthFolder(int monthNumber) const;

    vat::SelectedBooks books_;  // the data file of the year: its name and its year
    vat::ReturnFolders folders_;
    MessagePresenter& messages_;
    YearRows rows_;
    BackgroundJob* job_;  // the year run or check going on
    QString stage_;       // "month 5 of 12", before the file's progress

    QTableWidget* table_;
    YearChart* chart_;
    QLabel* progress_;
    QPushButton* runYearButton_;
    QPushButton* runMissingButton_;
    QPushButton* checkBooksButton_;
    QPushButton* cancelButton_;
};
