#pragma once

#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/check/books_check.h"

namespace vat {

// A month's books check and the messages its re-run gave.
struct MonthBooksCheck {
    BooksCheck check;
    std::vector<UserMessage> messages = {};

    // BooksChangedWarning of a completed check; empty when the check found nothing or did not
    // complete.
    std::string Warning() const;
};

// The books check of a month on a form of its own, on which the data file is selected first as
// for a run of the month alone, so that the caller's figures and error list stay as they are.
// The view, when given, follows the re-run's progress.
MonthBooksCheck CheckMonthBooks(LedgerConnection& ledger, const std::string& dataFile,
                                int monthNumber, const ReturnFolders& folders,
                                FormView* view = nullptr, const RunCancel* cancel = nullptr);

}  // namespace vat
