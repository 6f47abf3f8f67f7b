#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ledger/ledger_connection.h"
#include "returns/record/run_record.h"
#include "returns/run/run_cancel.h"
#include "returns/run/run_result.h"

namespace vat {

// The Generate Files run of the selection's month. Return files go into the month's folder in
// folders.output, and are checked against the schemas in folders.schemas. One run of a month
// at a time writes its files, here or in another process: a second waits for kMonthLockWait,
// then is refused. The cancel, when given, stops the run between vouchers and files and any
// statement in progress. A completed run leaves a run record (run.json) beside its files.
// Everything the run produced comes back in its result; the observer only follows it.
RunResult GenerationRun(LedgerConnection& ledger, const RunSelection& selection,
                        RunObserver& observer, const RunCancel* cancel = nullptr);
RunResult GenerationRun(LedgerConnection& ledger, const RunSelection& selection,
                        const RunCancel* cancel = nullptr);

// True when a run of these books (data file and financial year) wrote the record.
bool WrittenFrom(const RecordOwner& owner, const SelectedBooks& books);

// Why the files in a month folder may not be replaced by a run of these books and this choice
// of interstate parties without asking: a run of another data file, of another financial year
// or of the other choice of interstate parties wrote them, or their run record is no record or
// cannot be read. nullopt when they may (no files, or files such a run made).
struct OtherFiles {
    std::string text;
    // The record's file could not be read at all (its permissions, say): whose files they are
    // is unknown, and replacing them is no cure for what stops reading it.
    bool unreadable = false;
};
std::optional<OtherFiles> OtherBooksFiles(const std::filesystem::path& monthFolder,
                                          const SelectedBooks& books, InterstateParties parties);

}  // namespace vat
