#pragma once

#include <optional>
#include <string>

#include "returns/return_context.h"
#include "returns/return_file_kind.h"

namespace vat {

// One document of a voucher list, read and shaped for its block.
struct ReturnDocument {
    std::string tin;
    std::string partyName;
    std::string address;
    std::string date;
    double basic = 0;
    double tax = 0;
    double total = 0;
    std::string tranType;
    int quantity = 0;
};

// The document number of the voucher list's current row, as the omission rows show it.
std::string DocumentNumber(const ReturnFileKind& kind, LedgerConnection& ledger);

// Reads the current voucher of the list with its look-ups, in the order the books expect them.
// nullopt: the voucher is skipped silently (goods test, TIN test). Throws MissingLedgerData
// when a row or value the document needs is missing.
std::optional<ReturnDocument> ReadDocument(const ReturnFileKind& kind, const VoucherList& list,
                                           LedgerConnection& ledger);

}  // namespace vat
