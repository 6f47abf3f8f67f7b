#include "returns/check/month_books_check.h"

#include "returns/run/data_file_selection.h"

namespace vat {

std::string MonthBooksCheck::Warning() const {
    return check.comparison ? BooksChangedWarning(*check.comparison) : std::string();
}

MonthBooksCheck CheckMonthBooks(LedgerConnection& ledger, const std::string& dataFile,
                                int monthNumber, const ReturnFolders& folders, FormView* view,
                                const RunCancel* cancel) {
    FormState scratch;
    scratch.SetView(view);
    SelectDataFile(ledger, scratch, dataFile);
    BooksCheck check = scratch.DataFileReady ? CheckBooks(ledger, scratch, monthNumber, dataFile,
                                                          folders, FactReading::PerList, cancel)
                                             : BooksCheck{RunOutcome::Failed, {}};
    return {std::move(check), scratch.Messages()};
}

}  // namespace vat
