#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "returns/check/books_check.h"
#include "returns/year/year_run.h"

// One month of a year run as the command line reports it: its exit status, its one-month
// report object (JsonReport) and its figures as the year adds them up.
struct MonthReport {
    int monthNumber = 0;
    int status = 0;
    nlohmann::ordered_json report;
    vat::YearTotals figures = {};
};

// An exit status as the year's and the companies' lines name it: "OVER", "refused", ...
const char* ExitStatusText(int status);

// The year's table: a line a month with its figures, documents and outcome, the totals, and
// the messages of the months that did not complete.
void PrintYearTable(const std::vector<MonthReport>& months, const vat::YearTotals& totals,
                    std::ostream& out);

// {"months": [each month's report object with its "month"], "totals": {...}}
nlohmann::ordered_json YearJson(const std::vector<MonthReport>& months,
                                const vat::YearTotals& totals);

// What --verify found: unchanged, or the files, documents and figures that changed and the
// month's files that are not as they were written.
void PrintBooksCheck(const vat::BooksComparison& comparison, std::ostream& out);
nlohmann::ordered_json BooksCheckJson(const vat::BooksComparison& comparison);
