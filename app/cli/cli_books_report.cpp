#include "app/cli/cli_books_report.h"

#include <cstdio>
#include <string>

#include "app/cli/cli_report.h"
#include "returns/return_period.h"
#include "returns/run_json.h"

namespace {

using Json = nlohmann::ordered_json;

const char* MonthName(int monthNumber) {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        if (month.number == monthNumber) return month.name.data();
    return "?";
}

// The documents a month's files hold, or those its lists held that were left out.
long long Documents(const Json& report, bool leftOut) {
    long long count = 0;
    for (const Json& account : report.value("returns", Json::array())) {
        const long long written = account.value("written", 0LL);
        count += leftOut ? account.value("listed", 0LL) - written : written;
    }
    return count;
}

const char* StatusText(int status) {
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

constexpr const char* kYearRow = "%-5s %13s %13s %13s %11s %11s %13s %13s %8s %8s  %s\n";

void PrintYearLine(std::ostream& out, const char* month, double input, double output, double vat,
                   double cstPurchases, double cstSales, double urdPurchases, double urdSales,
                   long long written, long long leftOut, const std::string& outcome) {
    const auto amount = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", value);
        return std::string(text);
    };
    char line[256];
    std::snprintf(line, sizeof line, kYearRow, month, amount(input).c_str(), amount(output).c_str(),
                  amount(vat).c_str(), amount(cstPurchases).c_str(), amount(cstSales).c_str(),
                  amount(urdPurchases).c_str(), amount(urdSales).c_str(),
                  std::to_string(written).c_str(), std::to_string(leftOut).c_str(),
                  outcome.c_str());
    out << line;
}

}  // namespace

void PrintYearTable(const std::vector<MonthReport>& months, const vat::YearTotals& totals,
                    std::ostream& out) {
    char heading[256];
    std::snprintf(heading, sizeof heading, kYearRow, "Month", "Input VAT", "Output VAT",
                  "VAT payable", "CST purch.", "CST sales", "URD purch.", "URD sales", "Written",
                  "Left out", "Outcome");
    out << heading;
    for (const MonthReport& month : months) {
        const Json& figures = month.report.value("figures", Json());
        PrintYearLine(
            out, MonthName(month.monthNumber), vat::FigureIn(figures, "inputVatPlus"),
            vat::FigureIn(figures, "outputVatPlus"), vat::SignedVatIn(figures),
            vat::FigureIn(figures, "cstOnPurchases"), vat::FigureIn(figures, "cstOnSales"),
            vat::FigureIn(figures, "urdPurchases", "basicAmount"),
            vat::FigureIn(figures, "urdSales", "basicAmount"), Documents(month.report, false),
            Documents(month.report, true), StatusText(month.status));
    }
    const auto rupees = [](std::int64_t paise) { return static_cast<double>(paise) / 100; };
    PrintYearLine(out, "Year", rupees(totals.inputVatPlus), rupees(totals.outputVatPlus),
                  rupees(totals.vatPayable), rupees(totals.cstPurchases), rupees(totals.cstSales),
                  rupees(totals.urdPurchaseBasic), rupees(totals.urdSalesBasic), totals.written,
                  totals.leftOut,
                  std::to_string(totals.monthsCompleted) + " of " + std::to_string(months.size()) +
                      " months completed");
    out << "VAT payable is negative where it is refundable; the year adds up completed months.\n";
    for (const MonthReport& month : months) {
        if (month.status == 0 || month.status == 3) continue;
        for (const Json& message : month.report.value("messages", Json::array()))
            out << MonthName(month.monthNumber) << ": " << TerminalText(message.get<std::string>())
                << '\n';
    }
}

Json YearJson(const std::vector<MonthReport>& months, const vat::YearTotals& totals) {
    Json year{{"months", Json::array()}, {"totals", vat::YearTotalsJson(totals)}};
    for (const MonthReport& month : months) {
        Json report = month.report;
        report["month"] = MonthName(month.monthNumber);
        report["exitStatus"] = month.status;
        year["months"].push_back(std::move(report));
    }
    return year;
}

void PrintBooksCheck(const vat::BooksComparison& comparison, std::ostream& out) {
    const vat::RunRecord& recorded = comparison.recorded;
    out << "Files of " << MonthName(recorded.month) << " written " << recorded.writtenAt << " from "
        << TerminalText(recorded.dataFile) << ": ";
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
            std::snprintf(line, sizeof line, "  %-28s %15.2f %15.2f\n", figure.name.c_str(),
                          figure.before, figure.after);
            out << line;
        }
    }
    list("The month's files", comparison.folderChanges);
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
        {"folderChanges", comparison.folderChanges},
    };
}
