#pragma once

#include <string>
#include <vector>

#include "returns/results/file_account.h"

namespace vat {

// A run's outcome in one line, the same in the window's status line and on the command line:
// "6 files written, 1 failed its schema check: efile_pur04.xml (1 error) · 39 left out (listed
// below) · 35 bills moved to the interstate sales file · 2 debit notes without goods". Empty before
// any run. Of a check before filing, which writes nothing, "6 files checked, nothing written".
std::string RunOutcomeText(const std::vector<FileAccount>& accounts, bool checkedOnly = false);

}  // namespace vat
