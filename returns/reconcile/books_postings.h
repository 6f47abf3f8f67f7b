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

namespace vat {

// Amounts that no figure can hold (NaN, infinite, 10^14 rupees or more) are left out of the
// books and of the postings alike: the run leaves their documents out with a row of its own.

// Each figure's value in the month's books, in paise: the live postings dated in the month on
// its accounts, signed as the figure adds them. One statement.
std::array<std::int64_t, kReconciledFigureCount> ReadBooksFigures(LedgerConnection& ledger,
                                                                  const ReconciledMonth& month);

// Every tax posting of the counted vouchers (an array literal, ArrayText), whatever its date or
// state, and every live tax posting dated in the month of the other vouchers, each handed to
// take as it is read, in the books' order. One statement.
void ReadTaxPostings(LedgerConnection& ledger, const ReconciledMonth& month,
                     const std::string& countedVouchers,
                     const std::function<void(const TaxPosting&)>& take);

}  // namespace vat
