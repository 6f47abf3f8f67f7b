#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "returns/check/month_books_check.h"
#include "returns/run/generation_run.h"
#include "returns/year/year_run.h"

namespace vat {

// One month of the year's table: its figures and accounts as its run record keeps them once it
// is generated, or how its latest run ended; and what the latest check of its books found.
// Months read from their records and months run now share one form, so that the year reads the
// same however its months came to be.
struct YearRow {
    bool generated = false;
    SummaryFigures figures = {};
    std::vector<FileAccount> accounts = {};
    std::string schemaCheck = "not generated";
    std::string books = {};  // empty until checked: "unchanged", "changed since 12/05/2014"
    bool booksChanged = false;
    std::string note = {};  // the messages of its run or of its books check, one a line
};

// The month as the run record in its folder has it, when a run of these books (data file and
// financial year) wrote it; otherwise not generated.
YearRow RecordedRow(const std::filesystem::path& monthFolder, const SelectedBooks& books);

// The month as its run ended.
YearRow RunRow(const RunResult& result);

// Sets the books column from a check of the month's books.
void MarkBooks(YearRow& row, const BooksCheck& check);

// Adds a generated row's figures and accounts to the totals; a row not generated adds nothing.
void AddRow(YearTotals& totals, const YearRow& row);

}  // namespace vat
