#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "returns/results/error_row.h"
#include "returns/run/document_note.h"

namespace vat {

// What one group of error rows asks the accountant to change.
enum class FixCause {
    TinOutOfState,        // a party's TIN does not begin with 29: its documents are left out
    InStateRule,          // the same in an interstate file, whose lists take in-state parties
                          // only: no change of the books brings them in
    TinFailsSchema,       // a party's TIN as written fails the schema
    PartyFailsSchema,     // a party's name or address as written fails the schema
    PartyMissing,         // a party's ledger row or city is missing
    BelowOneRupee,        // a document left out for a basic amount under a rupee
    MissingData,          // a document left out for a value the return cannot carry
    DocumentFailsSchema,  // a field of one document fails the schema
    SchemaRule,           // a schema rule no party or document explains
    UrdTin,               // a warning without rows: a stored TIN not 11 characters long
};

// The cause as the JSON report names it: "tinOutOfState".
std::string_view CauseCode(FixCause cause);
// The cause in the words a person reads: "TIN out of state".
std::string_view CauseWords(FixCause cause);

// One thing to change in the books, with the error rows it explains.
struct FixGroup {
    FixCause cause = FixCause::SchemaRule;
    std::optional<long long> party = {};       // the party's account code
    std::optional<std::string> document = {};  // the voucher or document
    std::string text = {};                     // what is wrong and what it costs
    std::string action = {};                   // what to change
    long long documents = 0;
    std::vector<std::string> files = {};  // in the order the run met them
    std::int64_t taxPaise = 0;            // the tax at stake
    std::vector<std::size_t> rows = {};   // indices into the run's rows; none for UrdTin
    friend bool operator==(const FixGroup&, const FixGroup&) = default;
};

// True when a change of the books fixes the group: every cause but the return's in-state rule.
bool Fixable(const FixGroup& group);

// Groups a run's error rows by what to change, each row in exactly one group, and adds a
// warning group for each party whose bills were written as an unregistered dealer's because
// its stored TIN is not 11 characters long. The groups a change of the books fixes come first,
// ranked by the tax at stake, largest first, then by documents; groups alike in both keep the
// order of their first row. The groups left out by the return's rule follow, ranked alike.
std::vector<FixGroup> GroupFixes(const std::vector<ErrorRow>& rows, const DocumentNotes& notes);

}  // namespace vat
