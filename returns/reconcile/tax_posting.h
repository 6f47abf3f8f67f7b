#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/ledger_date.h"

namespace vat {

// One day-book row on a tax account, with the columns the voucher lists select by. A NULL in a
// list's column reads as -1, which fails every list condition as NULL does.
struct TaxPosting {
    std::optional<long long> voucher;
    std::string type;  // v_type
    std::optional<LedgerDate> date;
    long long debited = 0;   // recact
    long long credited = 0;  // payact
    std::int64_t paise = 0;
    long long unact = 0;
    long long outState = 0;
    long long cashSale = 0;           // ca_sale
    long long salesParty = 0;         // p_act
    long long secondSeriesParty = 0;  // c_act
    long long creditNoteParty = 0;    // cn_act
    // The bill has an interstate line (tax_type 6) of its first (op 2) or second (op 3) series.
    bool interstateFirstSeries = false;
    bool interstateSecondSeries = false;

    bool Live() const { return unact == 0; }
};

}  // namespace vat
