#pragma once

#include "ledger/ledger_connection.h"
#include "returns/form_state.h"
#include "returns/return_folders.h"
#include "returns/return_period.h"

namespace vat {

// How a generator reads the facts of its documents: a few statements over each file's
// lists (the default), or the statements of each voucher one by one.
enum class FactReading { PerList, PerVoucher };

// What every generator of a run reads and changes.
struct ReturnContext {
    LedgerConnection& ledger;
    FormState& form;
    ReturnPeriod period;
    ReturnFolders folders;
    FactReading reading = FactReading::PerList;
};

}  // namespace vat
