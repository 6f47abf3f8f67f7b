#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/reconcile/reconciled_month.h"
#include "returns/reconcile/tax_posting.h"
#include "returns/results/reconciliation.h"
#include "returns/results/return_figures.h"

namespace vat {

// Amounts that no figure can hold (NaN, infinite, 10^14 rupees or more) are left out of the
// books and of the postings alike: the run leaves their documents out with a row of its own.

// Each figure's value in the month's books, in paise: the live postings dated in the month on
// its accounts, signed as the figure adds them.
using BooksFigures = std::array<std::int64_t, kReconciledFigureCount>;

// The month's books figures. One statement; it needs nothing of the return, so a run reads it
// while it is still writing its files, on whichever of its connections is idle first.
BooksFigures ReadBooksFigures(LedgerConnection& ledger, const ReconciledMonth& month);

// The vouchers the return counted, each an array literal (ArrayText): all of them, and of each
// file those its total holds exactly once.
struct CountedVouchers {
    std::string all;
    std::array<std::string, kTaxFigureCount> once;  // by TaxFigure
};

// Every tax posting of the counted vouchers, whatever its date or state, and every live tax
// posting dated in the month of the other vouchers, each handed to take as it is read, in the
// books' order. One statement. A posting the return holds just as the books do is left on the
// server: live, dated in the month, and each of its legs on a figure's accounts on the side a
// file sums for its voucher type, in a file that counted its voucher once. Such a posting makes
// no reconciling item, and a month's postings are mostly such.
void ReadTaxPostings(LedgerConnection& ledger, const ReconciledMonth& month,
                     const CountedVouchers& counted,
                     const std::function<void(const TaxPosting&)>& take);

}  // namespace vat
