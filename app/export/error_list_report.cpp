#include "app/export/error_list_report.h"

#include <cctype>
#include <charconv>
#include <ctime>

#include "returns/results/run_outcome_text.h"
#include "returns/results/summary_captions.h"
#include "returns/rules/return_period.h"

namespace {

// A caption that is a whole decimal figure ("1250.50", "-3", "0"), as a number.
std::optional<double> FigureOf(const std::string& text) {
    const char* const end = text.data() + text.size();
    const char* digits = text.data() + (text.starts_with('-') ? 1 : 0);
    if (digits == end || !std::isdigit(static_cast<unsigned char>(*digits))) return std::nullopt;
    double value = 0;
    auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The month as the month list names it, and the year the return files declare for it.
std::string PeriodText(const vat::FormState& form, int monthNumber) {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths()) {
        if (month.number != monthNumber) continue;
        std::string period(month.name);
        if (form.YearStart) period += ' ' + std::to_string(form.YearStart->year);
        return period;
    }
    return {};
}

}  // namespace

RunDescription DescribeRun(const vat::FormState& form, int monthNumber,
                           std::chrono::system_clock::time_point endedAt) {
    return {form.SelectedDataFile, form.DealerTin, PeriodText(form, monthNumber), endedAt};
}

ErrorListReport MakeErrorListReport(const vat::FormState& form, const RunDescription& run) {
    ErrorListReport report;
    std::vector<HeadingLine>& heading = report.heading;
    heading.push_back({"Company", run.dataFile});
    heading.push_back({"Dealer TIN", run.dealerTin});
    heading.push_back({"Data file", run.dataFile});
    heading.push_back({"Month", run.period});
    heading.push_back({"Run time", run.endedAt ? vat::LocalTimeText(*run.endedAt) : std::string()});
    const auto figure = [&](std::string caption, const std::string& label) {
        std::string text = form.Caption(label);
        heading.push_back({std::move(caption), text, FigureOf(text)});
    };
    for (const vat::CaptionedLabel& line : vat::VisibleSummary())
        figure(std::string(line.caption), std::string(line.label));
    const std::string verdict = form.Caption("lbl_TaxPayableRefundable");
    figure(verdict.empty() ? "VAT Pay/Ref" : verdict, "lbl_TaxAmt");
    heading.push_back({"Run outcome", vat::RunOutcomeText(form.FileAccounts)});
    heading.push_back({"Error rows", std::to_string(form.ErrorRows().size()),
                       static_cast<double>(form.ErrorRows().size())});
    report.rows = form.ErrorRows();
    return report;
}

std::array<std::string, 5> ExportCells(const vat::ErrorRow& row) {
    return {row.type, row.document, row.error, row.file,
            row.line ? std::to_string(*row.line) : std::string()};
}
