#include "returns/facts/per_voucher_facts.h"

namespace vat {

namespace {

Recordset& Run(LedgerConnection& ledger, const std::string& sql) {
    OpenQuery(ledger.lookupRecordset, sql);
    return ledger.lookupRecordset;
}

}  // namespace

void PerVoucherFacts::PrepareFile(const ReturnFileKind& kind,
                                  const std::vector<BufferedRows>& /*lists*/) {
    kind_ = &kind;
}

bool PerVoucherFacts::HasInventoryLines(long long voucher) {
    return !Run(ledger_, "select vno from inventory where vno=" + std::to_string(voucher)).Eof();
}

const PartyFacts* PerVoucherFacts::Party(long long account) {
    const bool withAddress = kind_->address != AddressRule::None;
    Recordset& row = Run(
        ledger_, std::string(withAddress ? "select name,city,tin,addr1,addr2 from "
                                           "ledger_acts where code="
                                         : "select name,city,tin from ledger_acts where code=") +
                     std::to_string(account));
    if (row.Eof()) return nullptr;
    party_ = {row["Name"].Owned(), row["city"].Owned(), row["tin"].Owned(), {}, {}};
    if (withAddress) {
        party_.addr1 = row["addr1"].Owned();
        party_.addr2 = row["addr2"].Owned();
    }
    return &party_;
}

const CityFacts* PerVoucherFacts::City(long long code) {
    Recordset& row = Run(ledger_, "select * from city where code=" + std::to_string(code));
    if (row.Eof()) return nullptr;
    city_ = {row["CODE"].Owned(), row["Name"].Owned()};
    return &city_;
}

std::optional<std::string_view> PerVoucherFacts::Sum(const VoucherSum& sum, long long voucher) {
    Recordset& row = Run(ledger_, sum.VoucherSql(kind_->voucherType, voucher));
    sum_ = row.Eof() ? std::nullopt : row[sum.alias].Owned();
    return sum_ ? std::optional<std::string_view>(*sum_) : std::nullopt;
}

const LineFacts& PerVoucherFacts::Lines(long long voucher) {
    const LinesQuery& lines = *kind_->lines;
    Recordset& row =
        Run(ledger_, "select " + std::string(lines.columns) + " from " + std::string(lines.table) +
                         " where vno=" + std::to_string(voucher));
    lines_ = row.Eof() ? LineFacts{} : LineFacts{row["qty"].Owned(), row["tax_rate"].Owned()};
    return lines_;
}

}  // namespace vat
