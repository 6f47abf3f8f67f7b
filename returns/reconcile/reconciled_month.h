#pragma once

#include <optional>
#include <string>

#include "ledger/ledger_date.h"

namespace vat {

// The calendar month a return stands for: its month of the financial year that starts in
// startYear, April to December in that year, January to March in the next.
struct ReconciledMonth {
    int monthNumber = 0;
    LedgerDate first;
    LedgerDate last;

    static ReconciledMonth Of(int startYear, int monthNumber);
    bool Holds(const std::optional<LedgerDate>& date) const;
    std::string MonthName() const;  // "April"
    std::string Name() const;       // "April 2014"
};

}  // namespace vat
