#pragma once

#include <optional>
#include <string>

#include "ledger/ledger_connection.h"
#include "returns/record/run_record.h"
#include "returns/results/form_state.h"
#include "returns/run/return_context.h"
#include "returns/run/run_cancel.h"

namespace vat {

// How a run ended. Only a completed run changes the month's files; every other outcome leaves
// them as they were.
enum class RunOutcome {
    NoMonth,     // no month chosen: the window moves the focus to the month list
    NoDataFile,  // no data file chosen: the window moves the focus to the data-file list
    Refused,     // the TIN flag, an unusable data file, a schema that cannot be used or another
                 // run of the month: a message was shown and nothing changed
    Failed,      // the data file could not be reopened or a generator failed: a message was shown
    Cancelled,   // the cancel was requested: a message was shown
    Completed,   // all six generators ran, their files replaced the month's and "OVER" was shown
};

// The Generate Files run. monthNumber is 1 to 12, or 0 when no month is chosen; dataFile is
// empty when none is chosen. Return files go into the month's folder in folders.output, and
// are checked against the schemas in folders.schemas. One run of a month at a time writes its
// files, here or in another process: a second waits for kMonthLockWait, then is refused. The
// cancel, when given, stops the run between vouchers and files and any statement in progress.
// The files of another data file or financial year are replaced only when replaceOtherBooks;
// otherwise the run is refused. A completed run leaves a run record (run.json) beside its files.
RunOutcome GenerationRun(LedgerConnection& ledger, FormState& form, int monthNumber,
                         const std::string& dataFile, const ReturnFolders& folders,
                         FactReading reading = FactReading::PerList,
                         const RunCancel* cancel = nullptr, bool replaceOtherBooks = false);

// True when a run of the form's data file and financial year wrote the record.
bool WrittenFrom(const RunRecord& record, const FormState& form);

// Why the files in a month folder may not be replaced by a run of the form's data file without
// asking: a run of another data file or of another financial year wrote them, or their run
// record cannot be read. nullopt when they may (no files, or files the form's books made).
std::optional<std::string> OtherBooksFiles(const std::filesystem::path& monthFolder,
                                           const FormState& form);

}  // namespace vat
