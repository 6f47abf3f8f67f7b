#include "app/cli/cli_books_report.h"

#include <cstdio>
#include <string>

#include "app/cli/cli_report.h"
#include "disk/local_time.h"
#include "returns/results/number_forms.h"
#include "returns/rules/return_period.h"

namespace {

using Json = nlohmann::ordered_json;

const char* MonthName(int monthNumber) {
    return vat::FinancialYearMonths()[vat::FinancialYearIndex(monthNumber)].name.data();
}

constexpr const char* kYearRow =
    "%-5s %15s %15s %15s %13s %13s %15s %15s %8s %8s %15s %15s %15s  %s\n";

// A month's line, or the year's: the figures as its totals add them up. A month that did not
// complete has no figures, shown as a dash, never as 0.00.
void PrintYearLine(std::ostream& out, const char* month, const vat::YearTotals& figures,
                   const std::string& outcome) {
    const bool shown = figures.monthsCompleted > 0;
    const auto amount = [shown](std::int64_t paise) {
        return shown ? vat::GroupedPaise(paise) : std::string("-");
    };
    const auto count = [shown](long long documents) {
        return shown ? std::to_string(documents) : std::string("-");
    };
    char line[512];
    using vat::Figure;
    std::snprintf(line, sizeof line, kYearRow, month, amount(figures.InputVat()).c_str(),
                  amount(figures.OutputVat()).c_str(),
                  amount(figures.Sum(Figure::VatPayable)).c_str(),
                  amount(figures.Sum(Figure::CstPurchases)).c_str(),
                  amount(figures.Sum(Figure::CstSales)).c_str(),
                  amount(figures.Sum(Figure::UrdPurchaseBasic)).c_str(),
                  amount(figures.Sum(Figure::UrdSalesBasic)).c_str(),
                  count(figures.written).c_str(), count(figures.leftOut).c_str(),
                  amount(figures.Books(vat::ReconciledFigure::InputVat)).c_str(),
                  amount(figures.Books(vat::ReconciledFigure::OutputVat)).c_str(),
                  amount(figures.vatPayableDifference).c_str(), outcome.c_str());
    out << line;
}

}  // namespace

const char* ExitStatusText(int status) {
    switch (status) {
        case 0:
            return "OVER";
        case 3:
            return "OVER, schema errors";
        case 2:
            return "refused";
        case 5:
            return "cancelled";
        default:
            return "failed";
    }
}

YearReport::YearReport(std::ostream& out) : table_(&out) {
    char heading[256];
    std::snprintf(heading, sizeof heading, kYearRow, "Month", "Input VAT", "Output VAT",
                  "VAT payable", "CST purch.", "CST sales", "URD purch.", "URD sales", "Written",
                  "Left out", "Books in VAT", "Books out VAT", "VAT - books", "Outcome");
    out << heading << std::flush;
}

YearReport::YearReport(vat::JsonObjectWriter& object) : json_(&object) {
    json_->OpenArray("months");
}

void YearReport::Add(int monthNumber, int status, const vat::RunResult& result,
                     const std::optional<vat::FilingStatus>& filing) {
    ++months_;
    totals_.Add(result);
    if (json_) {
        vat::JsonObjectWriter report = json_->OpenObjectElement();
        WriteJsonReport(result, report);
        report.Member("month", MonthName(monthNumber));
        report.Member("exitStatus", status);
        if (filing) report.Member("filed", FilingJson(*filing));
        report.Close();
        return;
    }
    if (!table_) return;
    vat::YearTotals figures;
    figures.Add(result);
    PrintYearLine(*table_, MonthName(monthNumber), figures, ExitStatusText(status));
    if (filing) *table_ << "      " << TerminalText(vat::FilingStatusText(*filing)) << '\n';
    *table_ << std::flush;
    if (status == 0 || status == 3) return;
    for (const vat::UserMessage& message : result.messages)
        messageLines_.push_back(std::string(MonthName(monthNumber)) + ": " +
                                TerminalText(message.text));
}

void YearReport::Finish() {
    if (json_) {
        json_->CloseArray();
        json_->Member("totals", vat::YearTotalsJson(totals_));
        return;
    }
    if (!table_) return;
    std::ostream& out = *table_;
    PrintYearLine(out, "Year", totals_,
                  std::to_string(totals_.monthsCompleted) + " of " + std::to_string(months_) +
                      " months completed");
    out << "VAT payable is negative where it is refundable; the year adds up completed months.\n"
        << "Books in/out VAT: the month's input and output VAT accounts; VAT - books: the return's "
           "VAT payable less the books'.\n";
    for (const std::string& line : messageLines_) out << line << '\n';
}

void PrintBooksCheck(const vat::BooksComparison& comparison, std::ostream& out) {
    const vat::RunRecord& recorded = comparison.recorded;
    out << "Files of " << MonthName(recorded.month) << " written "
        << vat::PersonsForm(recorded.writtenAt) << " from " << TerminalText(recorded.dataFile)
        << ": ";
    if (comparison.Unchanged()) {
        out << "the books and the files are unchanged.\n";
        return;
    }
    out << (comparison.BooksChanged() ? "the books changed since." : "the books are unchanged.")
        << '\n';
    const auto list = [&](const char* heading, const std::vector<std::string>& items) {
        if (items.empty()) return;
        out << heading << " (" << items.size() << "):\n";
        for (const std::string& item : items) out << "  " << TerminalText(item) << '\n';
    };
    list("Files that would change", comparison.filesChanged);
    list("Documents added", comparison.added);
    list("Documents removed", comparison.removed);
    list("Documents altered", comparison.altered);
    if (!comparison.figures.empty()) {
        char line[128];
        std::snprintf(line, sizeof line, "%-30s %15s %15s\n", "Figures", "before", "after");
        out << line;
        for (const vat::FigureChange& figure : comparison.figures) {
            std::snprintf(line, sizeof line, "  %-28s %15s %15s\n", figure.name.c_str(),
                          vat::FigureValueText(figure, figure.before).c_str(),
                          vat::FigureValueText(figure, figure.after).c_str());
            out << line;
        }
    }
    list("Reconciliation with the books", comparison.reconciliation);
    list("The month's files", comparison.folderChanges);
}

Json FilingJson(const vat::FilingStatus& filing) {
    return {{"acknowledgement", filing.latest.acknowledgement},
            {"filedOn", filing.latest.filedOn},
            {"revised", filing.revised},
            {"altered", filing.altered}};
}

Json BooksCheckJson(const vat::BooksComparison& comparison) {
    Json figures = Json::array();
    for (const vat::FigureChange& figure : comparison.figures)
        figures.push_back(
            {{"name", figure.name}, {"before", figure.before}, {"after", figure.after}});
    return {
        {"unchanged", comparison.Unchanged()},
        {"booksChanged", comparison.BooksChanged()},
        {"dataFile", comparison.recorded.dataFile},
        {"writtenAt", comparison.recorded.writtenAt},
        {"filesChanged", comparison.filesChanged},
        {"documentsAdded", comparison.added},
        {"documentsRemoved", comparison.removed},
        {"documentsAltered", comparison.altered},
        {"figures", figures},
        {"reconciliation", comparison.reconciliation},
        {"folderChanges", comparison.folderChanges},
    };
}
