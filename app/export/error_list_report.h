#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "disk/local_time.h"
#include "returns/fixes/fix_groups.h"
#include "returns/run/run_result.h"

// One line of the heading block: a caption and its value, the value also as a number when it
// is a figure.
struct HeadingLine {
    std::string caption;
    std::string text;
    std::optional<double> number = {};
    friend bool operator==(const HeadingLine&, const HeadingLine&) = default;
};

// The error list as it leaves the program, printed or exported: a heading block saying whose
// run it was (company, dealer TIN, data file, month and year, run or check, run time) with the
// summary figures, then every row, and the rows grouped by what to fix, largest tax first.
struct ErrorListReport {
    std::vector<HeadingLine> heading;
    std::vector<vat::ErrorRow> rows;
    std::vector<vat::FixGroup> fixes = {};
    // The return tied to the books, exported after the rows; none for a run without one.
    std::optional<vat::Reconciliation> reconciliation = {};
};

// Whose run a report describes: the books and month it read and when it ended.
struct RunDescription {
    std::string dataFile;
    std::string dealerTin;
    std::string period;  // the month and the year the return files declare: "APR 2013"
    std::optional<std::chrono::system_clock::time_point> endedAt = {};
    // The month's filing, "filed on 20/05/2014 (acknowledgement ACK), revised since filing";
    // empty for a month never marked filed.
    std::string filing = {};
};
RunDescription DescribeRun(const vat::RunResult& result,
                           std::chrono::system_clock::time_point endedAt);

// Whether the run wrote the month's files or only checked them: "Run: files written".
std::string RunKindText(const vat::RunResult& result);
// The line a report opens with: "demo2014, APR 2014 · Run: files written".
std::string RunTitle(const vat::RunResult& result);

// The report of a completed run. The books keep no company name, so the company is named by
// its data file.
ErrorListReport MakeErrorListReport(const vat::RunResult& result, const RunDescription& run);

// The columns of an exported row, and a row's cells in that order (an unknown line is empty).
inline constexpr std::array<const char*, 5> kExportColumns{"Type", "Document", "Error", "File",
                                                           "Line"};
std::array<std::string, 5> ExportCells(const vat::ErrorRow& row);

// The columns of an exported group of what to fix, and a group's cells in that order; the tax
// is also given as a number.
inline constexpr std::array<const char*, 8> kFixColumns{
    "Cause", "Party", "Document", "Documents", "Tax", "Files", "What is wrong", "What to do"};
std::array<std::string, 8> FixCells(const vat::FixGroup& group);
