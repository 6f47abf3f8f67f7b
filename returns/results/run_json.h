#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "returns/results/file_account.h"
#include "returns/results/summary_figures.h"

namespace vat {

// The figures a person reads, in rupees, under the keys of the figure table ("inputVatPlus",
// "vat", "urdSales", ...): the command-line report's and the run record's. The URD figures of
// a run that did not complete are null.
nlohmann::ordered_json FiguresJson(const SummaryFigures& figures);
// Such an object read back. Throws RunRecordError when a figure is missing or not a number.
SummaryFigures ParseFiguresJson(const nlohmann::ordered_json& json);

// What became of each return file's documents, in run order, and the same read back (throws
// RunRecordError).
nlohmann::ordered_json AccountsJson(const std::vector<FileAccount>& accounts);
std::vector<FileAccount> ParseAccountsJson(const nlohmann::ordered_json& json);

}  // namespace vat
