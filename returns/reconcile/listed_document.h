#pragma once

#include <optional>
#include <string_view>

#include "ledger/ledger_date.h"
#include "returns/results/list_with_texts.h"
#include "returns/results/return_figures.h"

namespace vat {

// One row of a return file's voucher lists and what the run made of it: counted when its tax
// went into the file's total (written, or below one rupee). Its texts are views into the list
// that holds it.
struct ListedDocument {
    long long voucher = 0;
    std::string_view document = {};           // "B No.P-1"
    std::string_view leftOutBecause = {};     // why a document not counted was left out
    std::optional<LedgerDate> listDate = {};  // the row's voucher date
    TaxFigure file = {};
    bool counted = false;

    // The same, its texts kept in texts.
    ListedDocument KeptIn(TextBlocks& texts) const;
};

// A run's list rows in the order it walked them: 64 bytes each and their texts.
using ListedDocuments = ListWithTexts<ListedDocument>;

}  // namespace vat
