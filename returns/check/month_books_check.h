#pragma once

#include <string>

#include "ledger/ledger_connection.h"
#include "returns/check/books_check.h"

namespace vat {

// The books check of a month, with the data file selected first as for a run of the month
// alone. Its messages are the selection's and the re-run's.
BooksCheck CheckMonthBooks(LedgerConnection& ledger, const std::string& dataFile, int monthNumber,
                           const ReturnFolders& folders, const RunCancel* cancel = nullptr);

// BooksChangedWarning of a completed check; empty when the check found nothing or did not
// complete.
std::string WarningOf(const BooksCheck& check);

}  // namespace vat
