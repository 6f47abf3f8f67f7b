#pragma once

#include <string>

#include "ledger/ledger_connection.h"
#include "returns/form_state.h"
#include "returns/return_context.h"

namespace vat {

enum class RunOutcome {
    NoMonth,     // no month chosen: the window moves the focus to the month list
    NoDataFile,  // no data file chosen: the window moves the focus to the data-file list
    Refused,     // the TIN flag or an unusable data file: a message was shown
    Failed,      // the data file could not be reopened or a generator failed: a message was shown
    Completed,   // all six generators ran and "OVER" was shown
};

// The Generate Files run. monthNumber is 1 to 12, or 0 when no month is chosen; dataFile is
// empty when none is chosen. Return files go into the month's folder in folders.output, and
// are checked against the schemas in folders.schemas.
RunOutcome GenerationRun(LedgerConnection& ledger, FormState& form, int monthNumber,
                         const std::string& dataFile, const ReturnFolders& folders,
                         FactReading reading = FactReading::PerList);

}  // namespace vat
