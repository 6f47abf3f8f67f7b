#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/results/form_state.h"

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

// The voucher an error row names as "voucher N" in its document or its error text.
std::optional<long long> VoucherNamedIn(const ErrorRow& row);

// The vouchers an error row points at: the one it names, or else those whose document number,
// as its return file writes it, begins the row's document (a schema row). The file's own
// voucher lists are read again for the month its name carries; empty when nothing matches.
std::vector<long long> VouchersOfRow(LedgerConnection& ledger, const ErrorRow& row);

}  // namespace vat
