#pragma once

#include <optional>
#include <string>
#include <vector>

#include "returns/record/run_record.h"
#include "returns/results/error_row.h"
#include "returns/results/file_account.h"
#include "returns/results/reconciliation.h"
#include "returns/results/return_figures.h"
#include "returns/results/user_message.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/document_note.h"
#include "returns/run/return_folders.h"

namespace vat {

// How a run ended. Only a completed run changes the month's files; every other outcome leaves
// them as they were.
enum class RunOutcome {
    NoMonth,     // no month chosen: the window moves the focus to the month list
    NoDataFile,  // no data file chosen: the window moves the focus to the data-file list
    Refused,     // the TIN, an unusable data file, a schema that cannot be used or another run
                 // of the month: nothing changed
    Failed,      // the data file could not be reopened or a generator failed
    Cancelled,   // the cancel was requested
    Completed,   // all six generators ran and their files replaced the month's
};

// How a generator reads the facts of its documents: a few statements over each file's
// lists (the default), or the statements of each voucher one by one.
enum class FactReading { PerList, PerVoucher };

// What a run is asked to do: which books, which month, where.
struct RunSelection {
    // The data file as chosen, with its settings row; none when it could not be read.
    std::optional<SelectedBooks> books;
    std::string dataFile;  // empty when none is chosen
    int monthNumber = 0;   // 1 to 12; 0 when no month is chosen
    ReturnFolders folders;
    FactReading reading = FactReading::PerList;
    // The files of another data file or financial year are replaced only when true.
    bool replaceOtherBooks = false;
    InterstateParties interstateParties = InterstateParties::InState;
};

// How a front end follows a run while it goes on: which return file is being written and how
// many of its vouchers are done.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void Progress(const std::string& /*file*/, long long /*done*/, long long /*total*/) {}
    // The month's files are written; what is left ties them to the books and writes the record.
    virtual void FilesWritten() {}
    // On the thread that prepares the run's later files, before it connects: returns when that
    // thread may begin.
    virtual void BeforeReadingAhead() {}
};

// Everything one run produced, whatever its outcome. A run that did not complete has no
// figures to show: its figures stay as before its end and its files as the month had them.
struct RunResult {
    RunOutcome outcome = RunOutcome::Refused;
    std::optional<SelectedBooks> books = {};  // the books the run read
    int monthNumber = 0;
    ReturnFigures figures = {};
    std::vector<FileAccount> accounts = {};  // one per return file, in run order
    std::vector<ErrorRow> rows = {};
    // The documents behind the rows, and the bills written as unregistered dealers'.
    DocumentNotes notes = {};
    std::vector<UserMessage> messages = {};
    // The record of a completed run, as written but for its reconciliation, which is the
    // result's own.
    std::optional<RunRecord> record = {};
    // The return's tax figures tied to the books of its calendar month; a completed run's.
    std::optional<Reconciliation> reconciliation = {};
    std::string monthFolder = {};  // where a completed run put its files
    bool checkedOnly = false;
    InterstateParties interstateParties =
        InterstateParties::InState;  // as the run chose      // a check before filing: the files
                                     // went to a throwaway folder

    bool Completed() const { return outcome == RunOutcome::Completed; }
    // The return files the run wrote, in run order; none unless it completed: an unfinished
    // run keeps no accounts.
    std::vector<std::string> FilesWritten() const;
};

}  // namespace vat
