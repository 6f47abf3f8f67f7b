#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"

namespace vat {

// One day-book row of a voucher: the amount moves from the credited to the debited account.
struct VoucherPosting {
    std::string date;  // dd/MM/yyyy
    long long debitAccount = 0;
    std::string debitName;
    long long creditAccount = 0;
    std::string creditName;
    std::string amount;  // as the ledger holds it
    bool cancelled = false;
    friend bool operator==(const VoucherPosting&, const VoucherPosting&) = default;
};

// One bill line (a sale or credit note) or inventory line (a purchase or debit note).
struct VoucherLine {
    std::string quantity;
    std::string freeQuantity;
    std::string taxRate;  // per cent
    friend bool operator==(const VoucherLine&, const VoucherLine&) = default;
};

// The party's ledger row.
struct VoucherParty {
    long long account = 0;
    std::string name;
    std::string city;
    std::string tin;
    std::string address1;
    std::string address2;
    friend bool operator==(const VoucherParty&, const VoucherParty&) = default;
};

// Everything the books hold on one voucher, as the error list's drill-down shows it.
struct VoucherView {
    long long voucher = 0;
    std::string type;    // v_type: "PR", "DN", "SR" or "CN"; empty when the voucher has no rows
    std::string number;  // the document number the files report
    std::string date;    // and its date, dd/MM/yyyy
    std::vector<VoucherPosting> postings;
    std::string linesTable;  // "bills" or "inventory"
    std::vector<VoucherLine> lines;
    std::optional<VoucherParty> party;
};

// Reads a voucher with plain read-only queries on the look-up recordsets.
VoucherView ReadVoucherView(LedgerConnection& ledger, long long voucher);

}  // namespace vat
