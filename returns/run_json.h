#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "returns/form_state.h"
#include "returns/return_figures.h"

namespace vat {

// The figures as the summary shows them, in rupees, under readable keys ("inputVatPlus",
// "vat", "urdSales", ...): the command-line report's and the run record's.
nlohmann::ordered_json FiguresJson(const ReturnFigures& figures);

// What became of each return file's documents, in run order.
nlohmann::ordered_json AccountsJson(const std::vector<FileAccount>& accounts);

}  // namespace vat
