#pragma once

#include <string>

#include "ledger/ledger_connection.h"
#include "returns/results/form_state.h"

namespace vat {

// What choosing a data file does: reconnect read-only, read its settings row, keep and show
// the financial-year dates and check the dealer's TIN. A data file that cannot be opened or
// has no settings row is reported by a message and left unusable until another is chosen.
void SelectDataFile(LedgerConnection& ledger, FormState& form, const std::string& dataFile);

}  // namespace vat
