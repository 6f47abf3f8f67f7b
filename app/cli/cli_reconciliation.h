#pragma once

#include <ostream>

#include "returns/results/reconciliation.h"

// The return tied to the books: a line per figure (books, return, difference, unexplained),
// VAT payable, then every reconciling item, one a line. A figure with a remainder is marked as
// a failed check.
void PrintReconciliation(const vat::Reconciliation& reconciliation, std::ostream& out);
