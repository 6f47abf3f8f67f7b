#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "returns/declarations/return_file_kind.h"
#include "returns/rules/document_rules.h"

namespace vat {

// What a run knows of the document behind an error row, or of a bill it wrote as an
// unregistered dealer's: enough to tell which party or voucher to correct and the tax at stake.
struct DocumentNote {
    std::optional<std::size_t> row = {};  // the error row it explains; none for a written URD bill
    std::string file = {};                // "efile_pur04.xml"
    std::string document = {};            // "B No.T1 · voucher 5"
    std::optional<long long> voucher = {};
    DocumentFate fate = DocumentFate::Written;
    std::string missing = {};   // MissingData: what is missing
    bool partyMissing = false;  // MissingData for want of the party's ledger row or city
    bool byReturnRule = false;  // TinSkipped by a list that takes in-state parties only
    std::optional<long long> partyAccount = {};
    std::string partyName = {};  // as stored
    std::string storedTin = {};
    std::string writtenTin = {};  // as the file carries it
    double basic = 0;
    double tax = 0;         // the document's tax, or the tax a left-out document would carry
    bool purchases = true;  // bought from a supplier rather than sold to a customer
    // A schema row of a record: what its failing element carries.
    std::optional<ElementValue> failing = {};
    friend bool operator==(const DocumentNote&, const DocumentNote&) = default;
};

// A run's notes in the order it made them: a deque, never moved nor held twice as it grows.
using DocumentNotes = std::deque<DocumentNote>;

}  // namespace vat
