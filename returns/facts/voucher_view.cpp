#include "returns/facts/voucher_view.h"

#include <algorithm>
#include <cctype>

#include "ledger/buffered_rows.h"
#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"
#include "returns/rules/list_row.h"

namespace vat {

namespace {

std::string AccountName(const Field& ledgerName, long long account) {
    if (!ledgerName.IsNull()) return ledgerName.Text();
    return std::string(ChartName(account).value_or(""));
}

std::string DateText(const Field& field) {
    const std::optional<LedgerDate> date = field.Date();
    return date ? date->DisplayText() : std::string();
}

BufferedRows Query(LedgerConnection& ledger, const std::string& sql, long long voucher) {
    OpenQuery(ledger.lookupRecordset, sql, {std::to_string(voucher)});
    return ReadAllRows(ledger.lookupRecordset);
}

bool IsPurchaseSide(const std::string& type) { return type == "PR" || type == "DN"; }

// The voucher's type, document number and date and its party account, read through max() over
// its rows as the voucher lists read them, the party by the rule of the files of its type.
std::optional<long long> ReadHeader(LedgerConnection& ledger, VoucherView& view) {
    const BufferedRows header = Query(
        ledger,
        "select max(v_type) as v_type, max(pur_bill_no) as pur_bill_no, max(bill_no) as bill_no, "
        "max(bill_dt) as bill_dt, max(vdate) as vdate, max(pur_act) as pur_act, "
        "max(dn_act) as dn_act, max(p_act) as p_act, max(c_act) as c_act, max(cn_act) as cn_act "
        "from daybok where vno = ?::bigint",
        view.voucher);
    view.type = header.At(0, "v_type").Text();
    if (view.type.empty()) return std::nullopt;
    view.number = header.At(0, IsPurchaseSide(view.type) ? "pur_bill_no" : "bill_no").Text();
    view.date = DateText(header.At(0, view.type == "PR" ? "bill_dt" : "vdate"));
    // The party column the return files of that type read.
    std::optional<long long> party;
    for (const ReturnFileKind& kind : RunOrder()) {
        if (kind.voucherType != view.type) continue;
        const auto other = OtherPartyColumnName(kind.partyColumn);
        party = PartyAccountOf(header.At(0, PartyColumnName(kind.partyColumn)),
                               other ? std::optional(header.At(0, *other)) : std::nullopt);
        break;
    }
    return party && *party > 0 ? party : std::nullopt;
}

void ReadPostings(LedgerConnection& ledger, VoucherView& view) {
    const BufferedRows rows =
        Query(ledger,
              "select d.vdate, d.recact, d.payact, d.amount, d.unact, "
              "(select l.name from ledger_acts l where l.code = d.recact order by l.ctid limit 1) "
              "as recact_name, "
              "(select l.name from ledger_acts l where l.code = d.payact order by l.ctid limit 1) "
              "as payact_name "
              "from daybok d where d.vno = ?::bigint order by d.ctid",
              view.voucher);
    for (std::size_t row = 0; row < rows.Size(); ++row) {
        VoucherPosting posting;
        posting.date = DateText(rows.At(row, "vdate"));
        posting.debitAccount = rows.At(row, "recact").Integer();
        posting.debitName = AccountName(rows.At(row, "recact_name"), posting.debitAccount);
        posting.creditAccount = rows.At(row, "payact").Integer();
        posting.creditName = AccountName(rows.At(row, "payact_name"), posting.creditAccount);
        posting.amount = rows.At(row, "amount").Text();
        posting.cancelled = rows.At(row, "unact").Integer() != 0;
        view.postings.push_back(std::move(posting));
    }
}

void ReadLines(LedgerConnection& ledger, VoucherView& view) {
    const bool inventory = IsPurchaseSide(view.type);
    view.linesTable = inventory ? "inventory" : "bills";
    const BufferedRows rows =
        Query(ledger,
              inventory ? "select p_sqty as quantity, p_fqty as free_quantity, p_tax as tax_rate "
                          "from inventory where vno = ?::bigint order by ctid"
                        : "select sqty as quantity, fqty as free_quantity, tax_rate "
                          "from bills where vno = ?::bigint order by ctid",
              view.voucher);
    for (std::size_t row = 0; row < rows.Size(); ++row)
        view.lines.push_back({rows.At(row, "quantity").Text(), rows.At(row, "free_quantity").Text(),
                              rows.At(row, "tax_rate").Text()});
}

void ReadParty(LedgerConnection& ledger, VoucherView& view, long long account) {
    const BufferedRows rows = Query(
        ledger,
        "select l.code, l.name, l.tin, l.addr1, l.addr2, "
        "(select c.name from city c where c.code = l.city order by c.ctid limit 1) as city_name "
        "from ledger_acts l where l.code = ?::bigint order by l.ctid limit 1",
        account);
    if (rows.Empty()) return;
    view.party = VoucherParty{rows.At(0, "code").Integer(),   rows.At(0, "name").Text(),
                              rows.At(0, "city_name").Text(), rows.At(0, "tin").Text(),
                              rows.At(0, "addr1").Text(),     rows.At(0, "addr2").Text()};
}

}  // namespace

VoucherView ReadVoucherView(LedgerConnection& ledger, long long voucher) {
    VoucherView view;
    view.voucher = voucher;
    const std::optional<long long> party = ReadHeader(ledger, view);
    if (view.type.empty()) return view;
    ReadPostings(ledger, view);
    ReadLines(ledger, view);
    if (party) ReadParty(ledger, view, *party);
    return view;
}

}  // namespace vat
