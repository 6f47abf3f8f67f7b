#include "app/export/error_list_report.h"

#include <ctime>

#include "app/shared/summary_captions.h"
#include "returns/results/number_forms.h"
#include "returns/results/run_outcome_text.h"
#include "returns/results/summary_figures.h"
#include "returns/rules/return_period.h"

namespace {

// The month as the month list names it, and the year the return files declare for it.
std::string PeriodText(const vat::RunResult& result) {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths()) {
        if (month.number != result.monthNumber) continue;
        std::string period(month.name);
        if (result.books) period += ' ' + std::to_string(result.books->yearStart.year);
        return period;
    }
    return {};
}

}  // namespace

std::string RunKindText(const vat::RunResult& result) {
    return result.checkedOnly ? "Check before filing: nothing written" : "Run: files written";
}

std::string RunTitle(const vat::RunResult& result) {
    const std::string dataFile = result.books ? result.books->dataFile : std::string();
    return dataFile + ", " + PeriodText(result) + " \u00b7 " + RunKindText(result);
}

RunDescription DescribeRun(const vat::RunResult& result,
                           std::chrono::system_clock::time_point endedAt) {
    if (!result.books) return {};
    return {result.books->dataFile, result.books->dealerTin, PeriodText(result), endedAt};
}

ErrorListReport MakeErrorListReport(const vat::RunResult& result, const RunDescription& run) {
    ErrorListReport report;
    report.reconciliation = result.reconciliation;
    std::vector<HeadingLine>& heading = report.heading;
    heading.push_back({"Company", run.dataFile});
    heading.push_back({"Dealer TIN", run.dealerTin});
    heading.push_back({"Data file", run.dataFile});
    heading.push_back({"Month", run.period});
    heading.push_back({"Kind", RunKindText(result)});
    heading.push_back(
        {"Interstate parties", std::string(vat::InterstatePartiesWords(result.interstateParties))});
    if (!run.filing.empty()) heading.push_back({"Filed", run.filing});
    heading.push_back(
        {"Run time", run.endedAt ? vat::PersonsTimeText(*run.endedAt) : std::string()});
    const vat::SummaryCaptions captions = vat::CaptionsOf(result.figures);
    const vat::SummaryFigures figures = vat::ShownFigures(result.figures);
    const auto figure = [&](std::string caption, const vat::FigureDeclaration& declared) {
        const std::optional<std::int64_t> value = vat::ValueOf(figures, declared.figure);
        std::optional<double> number;
        if (value)
            number =
                declared.isCount ? static_cast<double>(*value) : static_cast<double>(*value) / 100;
        heading.push_back({std::move(caption),
                           vat::GroupedDigits(vat::CaptionOf(captions, declared.label)), number});
    };
    for (const vat::FigureDeclaration& declared : vat::FigureTable())
        if (declared.figure != vat::Figure::VatPayable)
            figure(std::string(declared.caption), declared);
    // The amount of the verdict, unsigned as the window shows it.
    heading.push_back(
        {vat::CaptionOf(captions, "lbl_TaxPayableRefundable"),
         vat::GroupedDigits(vat::CaptionOf(captions, vat::Declared(vat::Figure::VatPayable).label)),
         static_cast<double>(figures.vatPaise) / 100});
    heading.push_back({"Run outcome", vat::RunOutcomeText(result.accounts, result.checkedOnly)});
    heading.push_back({"Error rows", std::to_string(result.rows.size()),
                       static_cast<double>(result.rows.size())});
    report.rows = result.rows;
    report.fixes = vat::GroupFixes(result.rows, result.notes);
    return report;
}

std::array<std::string, 5> ExportCells(const vat::ErrorRow& row) {
    return {row.type, row.document, row.error, row.file,
            row.line ? std::to_string(*row.line) : std::string()};
}

std::array<std::string, 8> FixCells(const vat::FixGroup& group) {
    std::string files;
    for (const std::string& file : group.files) files += (files.empty() ? "" : ", ") + file;
    return {std::string(vat::CauseWords(group.cause)),
            group.party ? std::to_string(*group.party) : std::string(),
            group.document.value_or(""),
            std::to_string(group.documents),
            vat::GroupedPaise(group.taxPaise),
            files,
            group.text,
            group.action};
}
