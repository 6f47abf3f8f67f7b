#include "returns/facts/list_facts.h"

#include <algorithm>
#include <stdexcept>

#include "ledger/ledger_error.h"
#include "returns/rules/list_row.h"

namespace vat {

namespace {

// The key of a row, read as the rules read a voucher number or code; nullopt for NULL or text
// that is no number. ListRow::Voucher() throws for such text, so that the rules leave its
// document out with a row; here no question can ask for it, and it is passed over.
std::optional<long long> Key(const Field& field) {
    if (field.IsNull()) return std::nullopt;
    try {
        return field.Integer();
    } catch (const LedgerError&) {
        return std::nullopt;
    }
}

// The name of the statement's column for the declared sum of that index: s0, s1, ...
std::string SumColumn(std::size_t index) {
    std::string name(1, 's');
    name += std::to_string(index);
    return name;
}

// Joins table to the keys of the bound array by its column key. The arrays are made of sets,
// so each row of the table joins at most once, as "key in (select unnest(?))" would take it.
std::string JoinedToListed(std::string_view table, std::string_view key) {
    std::string join(table);
    join += " join unnest(?::bigint[]) as listed(";
    join += key;
    join += ") on ";
    join += table;
    join += '.';
    join += key;
    join += " = listed.";
    join += key;
    return join;
}

BufferedRows Query(LedgerConnection& ledger, const std::string& sql, const std::string& array) {
    OpenQuery(ledger.lookupRecordset, sql, {array});
    return ReadAllRows(ledger.lookupRecordset);
}

}  // namespace

void ListFacts::PrepareFile(const ReturnFileKind& kind, const std::vector<BufferedRows>& lists) {
    std::set<long long> vouchers, accounts;
    bool anyRow = false;
    for (const BufferedRows& list : lists) {
        if (list.Empty()) continue;
        anyRow = true;
        const ListColumns columns(kind, list);
        for (std::size_t row = 0; row < list.Size(); ++row) {
            const ListRow listRow = columns.Row(row);
            if (auto voucher = Key(listRow.voucher)) vouchers.insert(*voucher);
            try {
                if (auto account = listRow.PartyAccount()) accounts.insert(*account);
            } catch (const LedgerError&) {
                // A party column that holds no number fails its document when the rules read it.
            }
        }
    }
    if (!anyRow) return;
    const std::string voucherArray = ArrayText(vouchers);
    if (kind.goodsTest) ReadInventoryVouchers(voucherArray);
    ReadParties(kind, ArrayText(accounts));
    ReadCities();
    ReadSums(kind, voucherArray);
    if (kind.lines) ReadLines(*kind.lines, voucherArray);
}

void ListFacts::ReadSums(const ReturnFileKind& kind, const std::string& vouchers) {
    std::vector<const VoucherSum*> declared;
    for (const VoucherSum& sum : kind.basicSums) declared.push_back(&sum);
    declared.push_back(&kind.taxSum);
    std::string sql = "select daybok.vno";
    for (std::size_t column = 0; column < declared.size(); ++column)
        sql += ", coalesce(sum(amount) filter (where (" + std::string(declared[column]->condition) +
               ")),0) as " + SumColumn(column);
    sql += " from " + JoinedToListed("daybok", "vno") + " where v_type='" +
           std::string(kind.voucherType) + "' group by daybok.vno";
    sumRows_ = Query(ledger_, sql, vouchers);
    sumColumns_.clear();
    for (std::size_t column = 0; column < declared.size(); ++column)
        sumColumns_.emplace_back(declared[column], sumRows_.ColumnNamed(SumColumn(column)));
    const BufferedRows::Column vno = sumRows_.ColumnNamed("vno");
    sumRowOf_.clear();
    for (std::size_t row = 0; row < sumRows_.Size(); ++row)
        if (const std::optional<long long> voucher = Key(sumRows_.At(row, vno)))
            sumRowOf_.emplace_back(*voucher, row);
    // Stable: of two rows read as one number, the first the server gave answers.
    std::stable_sort(sumRowOf_.begin(), sumRowOf_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

// Where an account has several rows, the first the server holds wins, as a look-up by code
// without an order gives it.
void ListFacts::ReadParties(const ReturnFileKind& kind, const std::string& accounts) {
    const bool withAddress = kind.address != AddressRule::None;
    const BufferedRows rows = Query(
        ledger_,
        std::string("select distinct on (ledger_acts.code) ledger_acts.code, name, city, tin") +
            (withAddress ? ", addr1, addr2" : "") + " from " +
            JoinedToListed("ledger_acts", "code") + " order by ledger_acts.code, ledger_acts.ctid",
        accounts);
    const BufferedRows::Column code = rows.ColumnNamed("code"), name = rows.ColumnNamed("name"),
                               city = rows.ColumnNamed("city"), tin = rows.ColumnNamed("tin");
    const std::optional<BufferedRows::Column> addr1 =
        withAddress ? std::optional(rows.ColumnNamed("addr1")) : std::nullopt;
    const std::optional<BufferedRows::Column> addr2 =
        withAddress ? std::optional(rows.ColumnNamed("addr2")) : std::nullopt;
    parties_.clear();
    for (std::size_t row = 0; row < rows.Size(); ++row) {
        const std::optional<long long> account = Key(rows.At(row, code));
        if (!account) continue;
        PartyFacts party{rows.At(row, name).Owned(),
                         rows.At(row, city).Owned(),
                         rows.At(row, tin).Owned(),
                         {},
                         {}};
        if (withAddress) {
            party.addr1 = rows.At(row, *addr1).Owned();
            party.addr2 = rows.At(row, *addr2).Owned();
        }
        parties_.emplace(*account, std::move(party));
    }
}

void ListFacts::ReadCities() {
    std::set<long long> codes;
    for (const auto& [account, party] : parties_)
        if (party.city)
            if (auto code = Key(Field("city", party.city))) codes.insert(*code);
    const BufferedRows rows =
        Query(ledger_,
              "select distinct on (city.code) city.code, name from " +
                  JoinedToListed("city", "code") + " order by city.code, city.ctid",
              ArrayText(codes));
    const BufferedRows::Column code = rows.ColumnNamed("code"), name = rows.ColumnNamed("name");
    cities_.clear();
    for (std::size_t row = 0; row < rows.Size(); ++row)
        if (auto key = Key(rows.At(row, code)))
            cities_.emplace(*key,
                            CityFacts{rows.At(row, code).Owned(), rows.At(row, name).Owned()});
}

void ListFacts::ReadLines(const LinesQuery& lines, const std::string& vouchers) {
    const std::string table(lines.table);
    const BufferedRows rows =
        Query(ledger_,
              "select " + table + ".vno, " + std::string(lines.columns) + " from " +
                  JoinedToListed(table, "vno") + " group by " + table + ".vno",
              vouchers);
    const BufferedRows::Column vno = rows.ColumnNamed("vno"), qty = rows.ColumnNamed("qty"),
                               taxRate = rows.ColumnNamed("tax_rate");
    lines_.clear();
    for (std::size_t row = 0; row < rows.Size(); ++row)
        if (auto voucher = Key(rows.At(row, vno)))
            lines_.emplace(*voucher,
                           LineFacts{rows.At(row, qty).Owned(), rows.At(row, taxRate).Owned()});
}

void ListFacts::ReadInventoryVouchers(const std::string& vouchers) {
    const BufferedRows rows =
        Query(ledger_, "select distinct inventory.vno from " + JoinedToListed("inventory", "vno"),
              vouchers);
    const BufferedRows::Column vno = rows.ColumnNamed("vno");
    inventoryVouchers_.clear();
    for (std::size_t row = 0; row < rows.Size(); ++row)
        if (auto voucher = Key(rows.At(row, vno))) inventoryVouchers_.insert(*voucher);
}

bool ListFacts::HasInventoryLines(long long voucher) {
    return inventoryVouchers_.contains(voucher);
}

const PartyFacts* ListFacts::Party(long long account) {
    const auto at = parties_.find(account);
    return at == parties_.end() ? nullptr : &at->second;
}

const CityFacts* ListFacts::City(long long code) {
    const auto at = cities_.find(code);
    return at == cities_.end() ? nullptr : &at->second;
}

// A sum over no rows is 0, as coalesce makes it for a single voucher.
std::optional<std::string_view> ListFacts::Sum(const VoucherSum& sum, long long voucher) {
    const auto at =
        std::lower_bound(sumRowOf_.begin(), sumRowOf_.end(), voucher,
                         [](const auto& entry, long long key) { return entry.first < key; });
    if (at == sumRowOf_.end() || at->first != voucher) return "0";
    for (const auto& [declared, column] : sumColumns_)
        if (declared == &sum) return sumRows_.At(at->second, column).Raw();
    throw std::out_of_range("a sum the file does not declare");
}

const LineFacts& ListFacts::Lines(long long voucher) {
    static const LineFacts none;
    const auto at = lines_.find(voucher);
    return at == lines_.end() ? none : at->second;
}

}  // namespace vat
