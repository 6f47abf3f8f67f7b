#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "returns/results/form_state.h"
#include "returns/results/return_figures.h"

namespace vat {

// The figures as the summary shows them, in rupees, under readable keys ("inputVatPlus",
// "vat", "urdSales", ...): the command-line report's and the run record's.
nlohmann::ordered_json FiguresJson(const ReturnFigures& figures);

// A figure of such an object, by its key and, within a URD figure, its part ("bills",
// "basicAmount", "vatAmount"); 0 where the object has none (the URD figures of a run that did
// not complete).
double FigureIn(const nlohmann::ordered_json& figures, const char* key, const char* part = nullptr);
// VAT payable as one signed figure of such an object: refundable VAT is negative.
double SignedVatIn(const nlohmann::ordered_json& figures);

// What became of each return file's documents, in run order.
nlohmann::ordered_json AccountsJson(const std::vector<FileAccount>& accounts);

}  // namespace vat
