#include "returns/run/prepared_file.h"

#include <algorithm>

#include "returns/facts/list_facts.h"
#include "returns/facts/per_voucher_facts.h"

namespace vat {

namespace {

std::vector<BufferedRows> ReadLists(const ReturnFileKind& kind, int monthNumber,
                                    LedgerConnection& ledger, ListsReadAhead& readAhead) {
    if (auto ahead = readAhead.extract(&kind)) return std::move(ahead.mapped());
    std::vector<BufferedRows> lists;
    for (std::size_t index = 0; index < kind.lists.size(); ++index)
        lists.push_back(ReadFileList(kind, index, monthNumber, ledger));
    return lists;
}

// The voucher numbers of lists, as the rules read them.
std::set<long long> VouchersOf(const std::vector<BufferedRows>& lists) {
    std::set<long long> vouchers;
    for (const BufferedRows& list : lists) {
        if (list.Empty()) continue;
        const BufferedRows::Column vn = list.ColumnNamed("vn");
        for (std::size_t row = 0; row < list.Size(); ++row) {
            const Field voucher = list.At(row, vn);
            if (!voucher.IsNull()) vouchers.insert(voucher.Integer());
        }
    }
    return vouchers;
}

std::unique_ptr<DocumentFacts> FactsFor(FactReading reading, LedgerConnection& ledger) {
    if (reading == FactReading::PerVoucher) return std::make_unique<PerVoucherFacts>(ledger);
    return std::make_unique<ListFacts>(ledger);
}

}  // namespace

BufferedRows ReadFileList(const ReturnFileKind& kind, std::size_t index, int monthNumber,
                          LedgerConnection& ledger) {
    OpenQuery(ledger.voucherRecordset, kind.lists.at(index).Sql(monthNumber));
    return ReadAllRows(ledger.voucherRecordset);
}

PreparedFile PrepareFile(const ReturnFileKind& kind, int monthNumber, FactReading reading,
                         LedgerConnection& ledger, ListsReadAhead& readAhead,
                         const AccountingListsReader& readAccounting) {
    PreparedFile prepared;
    prepared.lists = ReadLists(kind, monthNumber, ledger, readAhead);
    const auto hasRows = [](const BufferedRows& list) { return !list.Empty(); };
    if (std::none_of(prepared.lists.begin(), prepared.lists.end(), hasRows)) return prepared;
    prepared.facts = FactsFor(reading, ledger);
    prepared.facts->PrepareFile(kind, prepared.lists);
    if (kind.billsAccountedBy) {
        const ReturnFileKind& other = kind.billsAccountedBy();
        std::vector<BufferedRows> otherLists =
            readAccounting ? readAccounting(other)
                           : ReadLists(other, monthNumber, ledger, readAhead);
        prepared.accountedElsewhere = VouchersOf(otherLists);
        readAhead[&other] = std::move(otherLists);
    }
    return prepared;
}

}  // namespace vat
