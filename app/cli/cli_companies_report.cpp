#include "app/cli/cli_companies_report.h"

#include <cstdio>

#include "app/cli/cli_books_report.h"
#include "app/cli/cli_report.h"
#include "returns/results/number_forms.h"

namespace {

using Json = nlohmann::ordered_json;

// The columns before the outcome, which ends the line however long it is.
constexpr const char* kCompanyRow = "%-20s %-11s %15s %13s %13s %8s %8s %-13s ";

std::string Amount(std::int64_t paise) { return vat::GroupedPaise(paise); }

std::string SchemaCheck(const vat::YearTotals& figures) {
    if (figures.monthsCompleted == 0) return "-";
    return figures.schemaErrors == 0 ? "all valid"
                                     : std::to_string(figures.schemaErrors) + " errors";
}

// A line of figures; a data file that completed nothing has none to show.
void PrintLine(std::ostream& out, const std::string& name, const std::string& tin,
               const vat::YearTotals& figures, const std::string& outcome) {
    const bool shown = figures.monthsCompleted > 0;
    const auto amount = [shown, &figures](vat::Figure figure) {
        return shown ? Amount(figures.Sum(figure)) : std::string("-");
    };
    const auto count = [shown](long long documents) {
        return shown ? std::to_string(documents) : std::string("-");
    };
    char line[512];
    std::snprintf(line, sizeof line, kCompanyRow, TerminalLine(name).c_str(),
                  TerminalLine(tin).c_str(), amount(vat::Figure::VatPayable).c_str(),
                  amount(vat::Figure::CstPurchases).c_str(), amount(vat::Figure::CstSales).c_str(),
                  count(figures.written).c_str(), count(figures.leftOut).c_str(),
                  SchemaCheck(figures).c_str());
    out << line << outcome << '\n';
}

}  // namespace

CompaniesReport::CompaniesReport(std::ostream& out, bool json) : out_(out), json_(json) {
    if (json_) {
        out_ << "{\n  \"dataFiles\": [";
        return;
    }
    char heading[256];
    std::snprintf(heading, sizeof heading, kCompanyRow, "Data file", "TIN", "VAT payable",
                  "CST purch.", "CST sales", "Written", "Left out", "Schema check");
    out_ << heading << "Exit status\n";
}

vat::JsonObjectWriter& CompaniesReport::OpenObject() {
    out_ << (dataFiles_ == 0 ? "\n" : ",\n") << "    ";
    return open_.emplace(out_, 2);
}

vat::JsonObjectWriter* CompaniesReport::OpenYear() { return json_ ? &OpenObject() : nullptr; }

// The data file's object: its report, or its year's months already written, then its name, TIN
// and status.
void CompaniesReport::WriteObject(const CompanyReport& company) {
    if (!open_) {
        vat::JsonObjectWriter& object = OpenObject();
        for (const auto& [key, value] : company.report.items()) object.Member(key, value);
    }
    open_->Member("dataFile", company.dataFile);
    open_->Member("dealerTin", company.dealerTin.empty() ? Json() : Json(company.dealerTin));
    open_->Member("exitStatus", company.status);
    if (company.filing) open_->Member("filed", FilingJson(*company.filing));
    open_->Close();
    open_.reset();
}

void CompaniesReport::Add(const CompanyReport& company) {
    if (json_) {
        WriteObject(company);
    } else {
        std::string outcome = std::to_string(company.status) + " " + ExitStatusText(company.status);
        if (!company.reason.empty()) outcome += ": " + TerminalLine(company.reason);
        if (company.filing) outcome += "; " + TerminalLine(vat::FilingStatusText(*company.filing));
        PrintLine(out_, company.dataFile, company.dealerTin, company.figures, outcome);
    }
    out_ << std::flush;
    ++dataFiles_;
    if (company.status == 0 || company.status == 3) ++completed_;
    totals_.Add(company.figures);
}

void CompaniesReport::Finish(int worstStatus) {
    if (json_) {
        out_ << "\n  ],\n  \"totals\": ";
        vat::WriteNestedJson(out_, vat::YearTotalsJson(totals_), 1);
        out_ << ",\n  \"exitStatus\": " << worstStatus << "\n}\n";
        return;
    }
    PrintLine(out_, "Total", "", totals_,
              std::to_string(worstStatus) + " " + std::to_string(completed_) + " of " +
                  std::to_string(dataFiles_) + " data files reached OVER");
    out_ << "VAT payable is negative where it is refundable; the total adds up completed runs.\n";
}
