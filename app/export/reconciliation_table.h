#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "returns/results/reconciliation.h"

// The reconciliation as the exports lay it out: a table of the figures, then one of the items.
// A cell keeps its amount as a number too, for a spreadsheet.
struct TableCell {
    std::string text;
    std::optional<double> number = {};
};
using TableRow = std::vector<TableCell>;

inline constexpr std::array<const char*, 5> kReconciledFigureColumns{"Figure", "Books", "Return",
                                                                     "Difference", "Unexplained"};
inline constexpr std::array<const char*, 9> kReconcilingItemColumns{
    "Figure", "Voucher", "Type", "Date", "Document", "Account", "Amount", "Reason", "Text"};

// "Reconciliation with the books, 2014-04-01 to 2014-04-30"
std::string ReconciliationTitle(const vat::Reconciliation& reconciliation);
// The four tax figures and VAT payable (no remainder of its own).
std::vector<TableRow> ReconciledFigureRows(const vat::Reconciliation& reconciliation);
std::vector<TableRow> ReconcilingItemRows(const vat::Reconciliation& reconciliation);
