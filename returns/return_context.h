#pragma once

#include <filesystem>

#include "form_state.h"
#include "ledger_connection.h"
#include "return_period.h"

namespace vat {

// What every generator of a run reads and changes.
struct ReturnContext {
    LedgerConnection& ledger;
    FormState& form;
    ReturnPeriod period;
    std::filesystem::path programFolder;
};

}  // namespace vat
