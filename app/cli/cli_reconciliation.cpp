#include "app/cli/cli_reconciliation.h"

#include <cstdio>
#include <string>

#include "app/cli/cli_report.h"
#include "app/export/reconciliation_table.h"
#include "returns/results/number_forms.h"

namespace {

constexpr vat::ReconciledFigure kFigures[] = {
    vat::ReconciledFigure::InputVat, vat::ReconciledFigure::OutputVat,
    vat::ReconciledFigure::CstPurchases, vat::ReconciledFigure::CstSales};

std::string Amount(std::int64_t paise) { return vat::GroupedPaise(paise); }

void PrintLine(std::ostream& out, std::string_view figure, std::int64_t books,
               std::int64_t returned, const std::string& unexplained, std::string_view mark) {
    char line[160];
    std::snprintf(line, sizeof line, "%-18s %15s %15s %15s %15s%.*s\n", std::string(figure).c_str(),
                  Amount(books).c_str(), Amount(returned).c_str(), Amount(returned - books).c_str(),
                  unexplained.c_str(), static_cast<int>(mark.size()), mark.data());
    out << line;
}

}  // namespace

void PrintReconciliation(const vat::Reconciliation& reconciliation, std::ostream& out) {
    out << ReconciliationTitle(reconciliation) << '\n';
    char heading[160];
    std::snprintf(heading, sizeof heading, "%-18s %15s %15s %15s %15s\n", "", "Books", "Return",
                  "Difference", "Unexplained");
    out << heading;
    for (vat::ReconciledFigure figure : kFigures) {
        const vat::FigureReconciliation& of = reconciliation.Of(figure);
        const bool explained = of.Unexplained() == 0;
        PrintLine(out, vat::ReconciledName(figure), of.books, of.returned, Amount(of.Unexplained()),
                  explained ? "" : "  [!] not explained");
    }
    PrintLine(out, "VAT payable", reconciliation.booksVatPayable, reconciliation.returnVatPayable,
              "", "");
    bool anyItem = false;
    for (vat::ReconciledFigure figure : kFigures)
        for (const vat::ReconcilingItem& item : reconciliation.Of(figure).items) {
            if (!anyItem) out << "Reconciling items (return - books)\n";
            anyItem = true;
            out << "  " << vat::ReasonWords(item.reason) << '\t' << Amount(item.amount) << '\t'
                << TerminalText(item.text) << '\n';
        }
    out << (reconciliation.AllExplained() ? "Every difference is explained.\n"
                                          : "[!] Part of a difference is not explained.\n")
        << '\n';
}
