#pragma once

#include <filesystem>

#include "ledger/ledger_connection.h"
#include "returns/form_state.h"
#include "returns/return_period.h"

namespace vat {

// What every generator of a run reads and changes.
struct ReturnContext {
    LedgerConnection& ledger;
    FormState& form;
    ReturnPeriod period;
    std::filesystem::path programFolder;
};

}  // namespace vat
