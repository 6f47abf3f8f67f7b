#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "app/export/error_list_report.h"
#include "app/window/message_presenter.h"
#include "app/window/window_growth.h"
#include "ledger/ledger_connection.h"
#include "returns/filing/run_revision.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/return_folders.h"

class BackgroundJob;
class FixListView;
class FolderRow;
class InterstateChoice;
class ErrorGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class ReconciliationView;
class RunStatusLine;
class Twips;

// The one window: choice of data file and month, the Generate Files run, the summary figures
// and the error list. Every rule lives in the core; the window passes the user's choices on and
// shows what the core gives back: the chosen data file's books and the latest completed run of
// the chosen month. Each control keeps its designed name as its object name ("Combo2",
// "lbl_TaxAmt", ...), by which the summary labels are found.
//
// The window's connection serves the GUI thread alone (choosing a data file, a voucher's
// view); a run and a books check go on a thread of their own, each on a connection of its own
// (BackgroundJob), one at a time.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Runs use the folders given until the user chooses others. Without a presenter messages
    // are modal boxes.
    explicit MainWindow(vat::ReturnFolders folders,
                        std::unique_ptr<MessagePresenter> messages = nullptr,
                        QWidget* parent = nullptr);

    // Start-up: fills the month list, connects to the server and lists and selects its data
    // files. False when the server cannot be reached: the window then offers Retry.
    bool loadDataFiles();

    // What choosing the data file gave.
    const vat::DataFileChoice& dataFileChoice() const { return dataFile_; }
    // The run whose figures, error rows and file accounts the window shows: the latest that
    // completed of the chosen data file and month, or none; without one, the window may show
    // the figures and file accounts of the month's run record.
    const vat::RunResult& shownRun() const { return shownRun_; }
    // True while a run or a books check goes on.
    bool busy() const;
    // Shows a run's figures, error rows, file accounts, reconciliation and what to fix; an
    // empty result clears them.
    void showRun(vat::RunResult result);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class LabelLook { Prompt, Heading, Plain, Value, Highlight };

    void createSelectionControls(const Twips& at);
    void createLocalSummary(const Twips& at);
    void createInterstateSummary(const Twips& at);
    void createUrdSummary(const Twips& at);
    void createSecondarySummary(const Twips& at);
    void createErrorList(const Twips& at);
    void createFolderRow(const Twips& at, vat::ReturnFolders folders);
    void createRunAccounts();
    void createReconciliationAndFixes();
    void createFiling();
    QLabel* addLabel(const char* name, const QString& text, QRect place, LabelLook look);
    void connectHandlers();
    void arrange();

    void fillMonthList();
    bool connectToServer();
    void fillDataFileList(const std::vector<std::string>& dataFiles);
    void onDataFileChosen();
    void checkChosenMonth();
    void openYearView();
    void printErrorList();
    void exportErrorList();
    bool reportable();
    void showVoucher(std::optional<long long> voucher);
    void showParty(long long party);
    void refreshFilterChoices();
    int chosenMonth() const;
    vat::RunSelection chosenSelection() const;
    void runGeneration();
    void runCheckOnly();
    void startMonthJob(const vat::RunSelection& selection, bool checkOnly);
    void showRunEnded(vat::RunResult result, bool checkOnly);
    void showBooksCheck(const std::string& warning);
    void showChosenMonth();
    void showFilesNote();
    void showRecord(const vat::RunRecord& record);
    void cancelRun();
    void setRunning(bool running);
    void showRunMessages(const std::vector<vat::UserMessage>& messages);
    void present(const vat::UserMessage& message);
    std::string chosenDataFile() const;
    void markChosenMonthFiled();
    void showFiling();
    bool confirmRevisionRun(const vat::RunSelection& selection);

    vat::LedgerConnection ledger_;
    std::unique_ptr<MessagePresenter> messages_;
    vat::DataFileChoice dataFile_;
    vat::RunResult shownRun_;
    RunDescription latestRun_;  // whose run shownRun_ was and when it ended
    QString shownRecordTime_;   // when the run record shown in place of a run was written
    bool running_ = false;      // a run, not a books check, goes on
    QPointer<QWidget> focusBeforeRun_;
    BackgroundJob* job_;         // the run or the books check going on
    WindowGrowth growth_;        // the results: the tabs, what lies above and below them
    WindowGrowth underWarning_;  // what moves down when the warning needs more lines
    WindowGrowth underNote_;     // and when the note on the files does

    QComboBox* dataFileCombo_;
    QLineEdit* yearStartEdit_;
    QLineEdit* yearEndEdit_;
    QComboBox* monthCombo_;
    QPushButton* generateButton_;
    QPushButton* checkOnlyButton_;  // runs the month into a throwaway folder
    InterstateChoice* interstateChoice_;
    QPushButton* retryButton_;
    QPushButton* yearButton_;
    QLabel* filesNote_;          // where Generate Files puts the chosen month's files
    QLabel* booksChangedLabel_;  // shown when the chosen month's files no longer match its books
    QComboBox* typeFilter_;
    QComboBox* fileFilter_;
    QTabWidget* results_;  // the error list and the run's files
    ErrorGrid* errorGrid_;
    QPlainTextEdit* errorDetail_;  // the row the user is on, in full
    QPushButton* exportButton_;
    QPushButton* printButton_;
    QPushButton* cancelButton_;  // shown only while a run goes on
    FolderRow* folderRow_;
    RunStatusLine* runStatus_;
    QTableWidget* runAccounts_;
    ReconciliationView* reconciliationView_;
    FixListView* fixList_;
    QPushButton* markFiledButton_;
    QLabel* filingLabel_;              // the chosen month's filing
    QPlainTextEdit* sinceFilingView_;  // what the shown run changed since filing
    vat::RunRevision sinceFiling_;     // of the shown run
};
