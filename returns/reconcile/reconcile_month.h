#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/reconcile/books_postings.h"
#include "returns/reconcile/listed_document.h"
#include "returns/reconcile/reconciled_month.h"
#include "returns/results/reconciliation.h"
#include "returns/results/summary_figures.h"

namespace vat {

// The books figures of the month (ReadBooksFigures), asked for once the postings are read: they
// may be read on another connection meanwhile.
using BooksFiguresSource = std::function<BooksFigures()>;

// The return's figures, as its summary shows them, tied to the books of its calendar month,
// whose figures are read in the run's snapshot: one statement more, inside it. The documents
// are every row of the run's lists.
Reconciliation ReconcileMonth(LedgerConnection& ledger, const ReconciledMonth& month,
                              const BooksFiguresSource& books, const SummaryFigures& shown,
                              const ListedDocuments& documents);

// "The return holds 12 documents dated outside April 2014: ...", when the lists, which take the
// month's number in any year, counted documents of another year; nullopt otherwise.
std::optional<std::string> OutsideMonthMessage(const ReconciledMonth& month,
                                               const ListedDocuments& documents);

}  // namespace vat
