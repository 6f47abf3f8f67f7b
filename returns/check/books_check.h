#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/record/run_record.h"
#include "returns/run/generation_run.h"

namespace vat {

// A figure of the summary that the books would now give otherwise, in rupees.
struct FigureChange {
    std::string name;  // "output VAT"
    double before = 0;
    double after = 0;
    bool isCount = false;  // a number of documents, not rupees
    friend bool operator==(const FigureChange&, const FigureChange&) = default;
};

// A figure's value as a person reads it: rupees "40,000.00", a count "1,204".
std::string FigureValueText(const FigureChange& figure, double value);

// How the books and the month folder differ from what the month's run record says.
struct BooksComparison {
    RunRecord recorded;
    // The return files a run would now write otherwise (or write, or no longer write).
    std::vector<std::string> filesChanged = {};
    // Documents, as "efile_sal04.xml: B No.5 · voucher 12", in the order of their files' and
    // their own names.
    std::vector<std::string> added = {};
    std::vector<std::string> removed = {};
    std::vector<std::string> altered = {};
    std::vector<FigureChange> figures = {};
    // How the reconciliation with the books would now differ: "reconciliation of input VAT:
    // unexplained 0.00 -> 12.00". None when the record was written before runs were reconciled.
    std::vector<std::string> reconciliation = {};
    // Files in the month folder that are not as the run wrote them: "efile_pur04.xml was
    // changed after it was written", "efile_pur04.xml is missing".
    std::vector<std::string> folderChanges = {};

    bool BooksChanged() const {
        return !filesChanged.empty() || !added.empty() || !removed.empty() || !altered.empty() ||
               !figures.empty() || !reconciliation.empty();
    }
    bool Unchanged() const { return !BooksChanged() && folderChanges.empty(); }
    std::size_t DocumentsChanged() const { return added.size() + removed.size() + altered.size(); }
};

// Compares the run record of the month's files with the record a run of the books now gives.
BooksComparison CompareRunRecords(RunRecord recorded, const RunRecord& now);

// What in a month folder differs from its run record's hashes. Only regular files of the folder
// itself are read, never through a link and never waiting (a FIFO or device is reported as
// unreadable). Throws RunRecordError when the record names a file outside the folder (an
// absolute name, "..", a "/"), and DiskError when the folder cannot be opened.
std::vector<std::string> FolderChanges(const RunRecord& recorded,
                                       const std::filesystem::path& monthFolder);

struct BooksCheck {
    RunOutcome outcome = RunOutcome::Refused;
    std::vector<UserMessage> messages = {};          // the re-run's, or why it did not run
    std::optional<BooksComparison> comparison = {};  // when the re-run completed
};

// Re-reads the selection's month as a run would, writing only into a throwaway folder, and
// compares it with the run record in the month folder and the folder's files with the
// record's hashes. The outcome is the re-run's; a month without a run record of this data
// file is Refused with a message.
// showRerun, when given, is shown the re-run's result of a completed re-run while its
// throwaway folder still holds its files.
BooksCheck CheckBooks(LedgerConnection& ledger, const RunSelection& selection,
                      const RunCancel* cancel = nullptr,
                      const std::function<void(const RunResult&)>& showRerun = {});

// The day the record's files were written, as "12/05/2014".
std::string WrittenOnDay(const RunRecord& record);

// "April's files were written on 12/05/2014; since then 3 vouchers changed: output VAT
// +1,240.00", or empty when nothing changed.
std::string BooksChangedWarning(const BooksComparison& comparison);

}  // namespace vat
