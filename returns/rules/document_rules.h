#pragma once

#include <optional>
#include <string>

#include "returns/declarations/return_file_kind.h"
#include "returns/rules/document_facts.h"
#include "returns/rules/list_row.h"

namespace vat {

// One document of a voucher list, shaped for its block.
struct ReturnDocument {
    std::string tin;
    std::string partyName;
    std::string address;
    std::string date;
    double basic = 0;
    double tax = 0;
    double total = 0;
    std::string tranType;
    int quantity = 0;
};

// What becomes of one row of a voucher list.
enum class DocumentFate {
    Written,        // a block in the file
    BelowOneRupee,  // left out with an omission row; its tax still counts
    TinSkipped,     // the party's TIN does not begin with 29 where the list skips such parties
    NotGoods,       // a debit note without goods
    MissingData,    // a row or value the document needs is missing
};

struct ShapedDocument {
    DocumentFate fate = DocumentFate::Written;
    ReturnDocument document;  // Written and BelowOneRupee
    std::string missing;      // MissingData: what is missing, for the error row
    // MissingData for want of the party's ledger row or city: the party master is to correct.
    bool partyMissing = false;
    // TinSkipped by a list that takes in-state parties only: no change of the books helps.
    bool byReturnRule = false;
    // The party as the books hold it, as far as the rules read it: what an accountant corrects.
    std::optional<long long> partyAccount = {};
    std::string storedPartyName = {};
    std::string storedTin = {};
    // TinSkipped and MissingData: the voucher's tax, which the return does not carry; 0 when
    // it cannot be read.
    double leftOutTax = 0;
};

// The rules of one document: the goods test, the party and its TIN, the city, the name and
// address, the date, the amounts and the total, and the one-rupee test. The facts are asked
// for in the books' order, and only as far as the document needs them.
ShapedDocument ShapeDocument(const ReturnFileKind& kind, const VoucherList& list,
                             const ListRow& row, DocumentFacts& facts);

}  // namespace vat
