#pragma once

#include <optional>
#include <string>

#include "ledger/buffered_rows.h"
#include "returns/declarations/return_file_kind.h"

namespace vat {

// One row of a voucher list, read once through its list's columns: what the rules, the fact
// reading and the run ask of it. The fields are as the server gave them; converting them is
// left to whoever reads them, so that a bad value fails its own document.
struct ListRow {
    Field voucher;                    // vn
    Field number;                     // b_no, the document number
    Field voucherDate;                // b_dt
    Field documentDate;               // the date the file writes: the kind's date column
    Field party;                      // the kind's party column (p_act for sales bills)
    std::optional<Field> otherParty;  // c_act for sales bills, read where p_act is not above 0
    std::optional<Field> goodsFlag;   // vat_dn, for the lists that test for goods
    const BufferedRows& list;         // the list, for every value of the row in its column order
    std::size_t row;

    // The voucher number; nullopt when the row has none.
    std::optional<long long> Voucher() const;
    // The party account the row names; nullopt when its column is NULL.
    std::optional<long long> PartyAccount() const;
    // The document number as the file and the omission rows show it.
    std::string DocumentNumber(const ReturnFileKind& kind) const;
};

// A voucher list's columns, found by name once for all its rows; throws LedgerError when the
// list lacks one the kind reads.
class ListColumns {
public:
    ListColumns(const ReturnFileKind& kind, const BufferedRows& list);

    ListRow Row(std::size_t row) const;

private:
    const BufferedRows& list_;
    BufferedRows::Column voucher_, number_, voucherDate_, documentDate_, party_;
    std::optional<BufferedRows::Column> otherParty_, goodsFlag_;
};

// The list column that names the party, and for sales bills the one read when it is not above 0.
std::string_view PartyColumnName(PartyColumn column);
std::optional<std::string_view> OtherPartyColumnName(PartyColumn column);

// The party account of those fields, by the rule of the sales bills where there are two.
std::optional<long long> PartyAccountOf(const Field& party, const std::optional<Field>& otherParty);

}  // namespace vat
