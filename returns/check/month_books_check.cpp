#include "returns/check/month_books_check.h"

#include "returns/run/data_file_selection.h"

namespace vat {

std::string WarningOf(const BooksCheck& check) {
    return check.comparison ? BooksChangedWarning(*check.comparison) : std::string();
}

BooksCheck CheckMonthBooks(LedgerConnection& ledger, const std::string& dataFile, int monthNumber,
                           const ReturnFolders& folders, const RunCancel* cancel) {
    DataFileChoice choice = SelectDataFile(ledger, dataFile);
    if (!choice.books) return {RunOutcome::Failed, std::move(choice.messages)};
    BooksCheck check = CheckBooks(ledger,
                                  {.books = choice.books,
                                   .dataFile = dataFile,
                                   .monthNumber = monthNumber,
                                   .folders = folders},
                                  cancel);
    check.messages.insert(check.messages.begin(), choice.messages.begin(), choice.messages.end());
    return check;
}

}  // namespace vat
