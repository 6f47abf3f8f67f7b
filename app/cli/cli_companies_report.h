#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "returns/filing/filing_status.h"
#include "returns/results/json_object_writer.h"
#include "returns/year/year_run.h"

// One data file of a run of every data file: what its line shows and its report object (a
// month's JsonReport or the reasons it never ran; none for a year, written as its months end).
struct CompanyReport {
    std::string dataFile = {};
    std::string dealerTin = {};  // empty when the books could not be read
    int status = 0;
    vat::YearTotals figures = {};  // the month's, or the year's completed months'
    std::string reason = {};       // why it did not reach OVER, for its line
    nlohmann::ordered_json report = {};
    std::optional<vat::FilingStatus> filing = {};  // of a month run of a filed month
};

// Prints each data file's line, or its object of {"dataFiles": [...]}, as soon as its run ends,
// so that a server of many companies is held one company at a time; Finish adds the total line,
// or "totals" and "exitStatus".
class CompaniesReport {
public:
    CompaniesReport(std::ostream& out, bool json);
    // The JSON's object of the next data file, open for its year's months to be written into as
    // they end; Add then ends it. None for the lines.
    vat::JsonObjectWriter* OpenYear();
    void Add(const CompanyReport& company);
    void Finish(int worstStatus);

private:
    vat::JsonObjectWriter& OpenObject();
    void WriteObject(const CompanyReport& company);

    std::ostream& out_;
    bool json_;
    std::optional<vat::JsonObjectWriter> open_;  // the data file's object being written
    int dataFiles_ = 0;
    int completed_ = 0;
    vat::YearTotals totals_;
};
