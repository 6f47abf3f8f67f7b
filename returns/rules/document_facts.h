#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/buffered_rows.h"
#include "returns/declarations/return_file_kind.h"

namespace vat {

// What the books say about one document beyond its list row, as the server gave it: every
// value is its text, NULL is nullopt, and converting is left to the rules.
struct PartyFacts {
    std::optional<std::string> name;
    std::optional<std::string> city;
    std::optional<std::string> tin;
    std::optional<std::string> addr1;  // read only for files that write an address
    std::optional<std::string> addr2;
};

struct CityFacts {
    std::optional<std::string> code;
    std::optional<std::string> name;
};

// The quantity and highest tax rate of a bill's lines; both NULL when it has none.
struct LineFacts {
    std::optional<std::string> quantity;
    std::optional<std::string> rate;
};

// Answers the look-ups the rules make for the documents of one voucher list. The rules ask
// in the books' order and stop early (an out-of-state party is skipped before its city is
// asked for), so a source may answer from statements run per question or prepared per list.
// Answers are lent, not copied: each holds until the next question of its kind.
class DocumentFacts {
public:
    virtual ~DocumentFacts() = default;

    // Called with a file's lists, as they came, before the first question about them.
    virtual void PrepareFile(const ReturnFileKind& kind,
                             const std::vector<BufferedRows>& lists) = 0;

    virtual bool HasInventoryLines(long long voucher) = 0;
    // Null when the account or the city code has no row.
    virtual const PartyFacts* Party(long long account) = 0;
    virtual const CityFacts* City(long long code) = 0;
    // One of the kind's declared sums on the voucher, over every row of its number and type;
    // nullopt when the sum came back without a row. Valid until the next question.
    virtual std::optional<std::string_view> Sum(const VoucherSum& sum, long long voucher) = 0;
    virtual const LineFacts& Lines(long long voucher) = 0;
};

}  // namespace vat
