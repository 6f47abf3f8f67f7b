#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "returns/check/books_check.h"
#include "returns/filing/filing_status.h"
#include "returns/results/json_object_writer.h"
#include "returns/year/year_run.h"

// An exit status as the year's and the companies' lines name it: "OVER", "refused", ...
const char* ExitStatusText(int status);

// A year on the command line, each month printed as it ends: a line of the table, or its
// one-month report object (JsonReport with its "month" and "exitStatus") in the "months" array.
// Only the totals and the messages of the months that did not complete are kept.
class YearReport {
public:
    // The table on out, its heading now.
    explicit YearReport(std::ostream& out);
    // The months into the object's "months" and, at the end, the totals into its "totals".
    explicit YearReport(vat::JsonObjectWriter& object);
    // Only the totals, for the year's line elsewhere.
    YearReport() = default;

    // A filed month's line is followed by its filing ("filed on 20/05/2014 (acknowledgement
    // ACK), revised since filing"); its object has it as "filed".
    void Add(int monthNumber, int status, const vat::RunResult& result,
             const std::optional<vat::FilingStatus>& filing = {});
    // The table's year line, its notes and the months' messages; or the JSON's "totals".
    void Finish();

    const vat::YearTotals& Totals() const { return totals_; }
    int Months() const { return months_; }

private:
    std::ostream* table_ = nullptr;
    vat::JsonObjectWriter* json_ = nullptr;
    vat::YearTotals totals_;
    int months_ = 0;
    std::vector<std::string> messageLines_;  // "APR: ..." of the months that did not complete
};

// What --verify found: unchanged, or the files, documents and figures that changed and the
// month's files that are not as they were written.
void PrintBooksCheck(const vat::BooksComparison& comparison, std::ostream& out);
nlohmann::ordered_json BooksCheckJson(const vat::BooksComparison& comparison);

// A month's filing as the reports' JSON gives it: {"acknowledgement", "filedOn", "revised",
// "altered"}.
nlohmann::ordered_json FilingJson(const vat::FilingStatus& filing);
