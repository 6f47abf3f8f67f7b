#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/results/reconciliation.h"
#include "returns/results/return_figures.h"

namespace vat {

// A return file's tax sum as the reconciliation reads it: the file whose figure it is, the
// voucher type its lists and sums take, and the side of the figure's accounts it sums.
struct TaxSumReader {
    TaxFigure file;
    std::string_view voucherType;
    bool readsDebits;  // recact: debits; payact: credits
};

// A figure of the books: its accounts, which side adds to it, and the return files that sum
// postings on them. The return's figure is the readers' totals, each signed as the side it
// reads (input VAT = purchases' debits - debit notes' credits).
struct ReconciledAccounts {
    ReconciledFigure figure;
    AccountRole accounts;  // in the chart
    bool debitsAdd;        // books = debits - credits; else credits - debits
    std::vector<TaxSumReader> readers;

    bool Holds(long long account) const;
    // "(20,21,35)", for an SQL "in"
    std::string SqlList() const;
};

// The four figures, in ReconciledFigure order.
std::span<const ReconciledAccounts> ReconciledAccountsTable();

}  // namespace vat
