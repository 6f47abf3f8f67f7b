#include "app/export/reconciliation_table.h"

#include "disk/local_time.h"
#include "returns/results/number_forms.h"

namespace {

TableCell Amount(std::int64_t paise) {
    return {vat::GroupedPaise(paise), static_cast<double>(paise) / 100};
}

TableCell Whole(long long value) { return {std::to_string(value), static_cast<double>(value)}; }

}  // namespace

std::string ReconciliationTitle(const vat::Reconciliation& reconciliation) {
    return "Reconciliation with the books, " + vat::PersonsForm(reconciliation.periodStart) +
           " to " + vat::PersonsForm(reconciliation.periodEnd);
}

std::vector<TableRow> ReconciledFigureRows(const vat::Reconciliation& reconciliation) {
    std::vector<TableRow> rows;
    for (int at = 0; at < vat::kReconciledFigureCount; ++at) {
        const auto figure = static_cast<vat::ReconciledFigure>(at);
        const vat::FigureReconciliation& of = reconciliation.Of(figure);
        rows.push_back({{std::string(vat::ReconciledName(figure))},
                        Amount(of.books),
                        Amount(of.returned),
                        Amount(of.Difference()),
                        Amount(of.Unexplained())});
    }
    rows.push_back({{"VAT payable"},
                    Amount(reconciliation.booksVatPayable),
                    Amount(reconciliation.returnVatPayable),
                    Amount(reconciliation.returnVatPayable - reconciliation.booksVatPayable),
                    {}});
    return rows;
}

std::vector<TableRow> ReconcilingItemRows(const vat::Reconciliation& reconciliation) {
    std::vector<TableRow> rows;
    for (int at = 0; at < vat::kReconciledFigureCount; ++at) {
        const auto figure = static_cast<vat::ReconciledFigure>(at);
        for (const vat::ReconcilingItem& item : reconciliation.Of(figure).items)
            rows.push_back({{std::string(vat::ReconciledName(figure))},
                            Whole(item.voucher),
                            {item.type},
                            {vat::PersonsForm(item.date)},
                            {item.document.value_or("")},
                            Whole(item.account),
                            Amount(item.amount),
                            {std::string(vat::ReasonWords(item.reason))},
                            {item.text}});
    }
    return rows;
}
