#pragma once

#include <cstddef>
#include <ranges>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ledger/buffered_rows.h"
#include "ledger/ledger_connection.h"
#include "returns/rules/document_facts.h"

namespace vat {

// Integers (a set, or a sorted vector) as a PostgreSQL array literal for a bound parameter:
// "{12,15,17}".
template <std::ranges::input_range Integers>
std::string ArrayText(const Integers& values) {
    std::string text = "{";
    for (long long value : values) {
        if (text.size() > 1) text += ',';
        text += std::to_string(value);
    }
    return text += '}';
}

// Answers every question about a file's lists from a few statements over all their vouchers:
// one for the declared sums (a filtered sum per column), one each for the parties, their
// cities, the lines and the goods test. Voucher numbers and account codes go to the server as
// one bound array, so the number of statements does not grow with the month. The array is
// joined as a table ("join unnest(?) as listed(vno) on ..."): "= any(?)" over a bound array
// searches the array once per day-book row, and "in (select unnest(?))" leaves the planner
// guessing 200 keys, so that it seeks each of thousands in the index one by one.
class ListFacts : public DocumentFacts {
public:
    explicit ListFacts(LedgerConnection& ledger) : ledger_(ledger) {}

    void PrepareFile(const ReturnFileKind& kind, const std::vector<BufferedRows>& lists) override;
    bool HasInventoryLines(long long voucher) override;
    const PartyFacts* Party(long long account) override;
    const CityFacts* City(long long code) override;
    std::optional<std::string_view> Sum(const VoucherSum& sum, long long voucher) override;
    const LineFacts& Lines(long long voucher) override;

private:
    void ReadSums(const ReturnFileKind& kind, const std::string& vouchers);
    void ReadParties(const ReturnFileKind& kind, const std::string& accounts);
    void ReadCities();
    void ReadLines(const LinesQuery& lines, const std::string& vouchers);
    void ReadInventoryVouchers(const std::string& vouchers);

    LedgerConnection& ledger_;
    // The declared sums of every voucher, kept as the server gave them, found through the
    // voucher's row in a sorted index.
    BufferedRows sumRows_;
    std::vector<std::pair<const VoucherSum*, BufferedRows::Column>> sumColumns_;
    std::vector<std::pair<long long, std::size_t>> sumRowOf_;
    std::unordered_map<long long, PartyFacts> parties_;
    std::unordered_map<long long, CityFacts> cities_;
    std::unordered_map<long long, LineFacts> lines_;
    std::set<long long> inventoryVouchers_;
};

}  // namespace vat
