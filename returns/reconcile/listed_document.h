#pragma once

#include <deque>
#include <optional>
#include <string>

#include "ledger/ledger_date.h"
#include "returns/results/return_figures.h"

namespace vat {

// One row of a return file's voucher lists and what the run made of it: counted when its tax
// went into the file's total (written, or below one rupee).
struct ListedDocument {
    // In this order, a document takes 96 bytes, not 104: five to a block of the deque, not four.
    long long voucher = 0;
    TaxFigure file = {};
    std::optional<LedgerDate> listDate = {};  // the row's voucher date
    bool counted = false;
    std::string document = {};        // "B No.P-1"
    std::string leftOutBecause = {};  // why a document not counted was left out
};

// A run's list rows in the order it walked them: a deque, so that a month's hundred thousand
// are never moved, nor held twice while the list grows.
using ListedDocuments = std::deque<ListedDocument>;

}  // namespace vat
