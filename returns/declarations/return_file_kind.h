#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "returns/results/return_figures.h"

namespace vat {

// What a voucher list does with a party whose TIN does not begin with "29".
enum class TinRule {
    None,              // written with its TIN
    SkipOutsideState,  // skipped silently: the voucher is not what the list is for
    InStateOnly,       // skipped silently by the return's rule, though the list is for it (the
                       // interstate files), unless out-of-state parties are chosen too
    UrdOutsideState,   // written with the URD marker TIN
};

// Which parties the interstate files take: those whose TIN begins with 29, as the return's rule
// asks (the default), or every party, each with its own TIN.
enum class InterstateParties { InState, All };
// "in-state" or "all", as the command line, run.json and the JSON report name the choice; the
// choice of such a code, nullopt for any other.
std::string_view InterstatePartiesCode(InterstateParties parties);
std::optional<InterstateParties> InterstatePartiesOfCode(std::string_view code);
// The choice as a report's heading says it.
std::string_view InterstatePartiesWords(InterstateParties parties);

// One voucher list: its SQL around the month number, and its own rules.
struct VoucherList {
    std::string_view sqlBeforeMonth = {};
    std::string_view sqlAfterMonth = {};
    TinRule tinRule = TinRule::None;
    std::string_view invoicePrefix = {};  // put before the document number in the file ("C", "CR")

    // The list's query for a month.
    std::string Sql(int monthNumber) const;
    // The list as a run with that choice reads it: the same query, an in-state-only list taking
    // every party when all are chosen.
    VoucherList Chosen(InterstateParties parties) const;
};

// A sum over the day-book rows of one voucher of the file's type: the amounts of the rows the
// condition picks, read as alias. Both fact readings build their statements from it.
struct VoucherSum {
    std::string_view alias = {};  // "sold_amt"
    std::string condition = {};   // "payact=2 or payact=3 or payact=4"

    // The statement for one voucher of that type.
    std::string VoucherSql(std::string_view voucherType, long long voucher) const;
};

// The quantity and highest rate of a voucher's lines: "select " columns " from " table
// " where vno=" and the voucher number.
struct LinesQuery {
    std::string_view columns = {};
    std::string_view table = {};
};

// The value a block element carries.
enum class ElementValue {
    Tin,
    PartyName,
    Address,
    Number,
    Date,
    NetVal,
    TaxCh,
    OthCh,
    TotCh,
    TranType,
    Qty,
    Literal
};

struct BlockElement {
    std::string_view name = {};
    ElementValue value;
    bool trailingSpace = false;  // one space after the end tag, as the portal's samples have it
    std::string_view literal = {};
};

enum class PartyColumn { PurAct, DnAct, CnAct, SalesParty /* p_act when above 0, else c_act */ };
enum class AddressRule { None, LinesAndCity, LinesOrDash };
enum class UrdSide { None, Purchases, Sales };

// Everything one return file declares; the shared skeleton does the rest.
struct ReturnFileKind {
    // The file
    std::string_view baseName = {};     // "efile_pur": the file is <base><MonthTag>.xml
    std::string_view rootElement = {};  // "PurchaseDetails"
    std::vector<std::string_view> extraHeaderLines = {};  // after the Period line
    std::string_view closingLine = {};    // with its own leading and trailing spaces
    std::string_view recordElement = {};  // the block, and the node whose children are validated
    // The block's children that name its document in an error row: number, date and party.
    std::vector<std::string_view> documentElements = {};
    std::string_view schemaFile = {};  // under the XSD folder
    std::string_view validationType = {};
    std::string_view omissionType = {};
    std::string_view omissionPrefix = {};  // "B No."

    std::vector<VoucherList> lists = {};
    // The file whose lists also hold this file's bills below one rupee and account for them
    // (the local sales lists take every sales bill, the interstate ones too).
    const ReturnFileKind& (*billsAccountedBy)() = nullptr;

    // One document
    bool goodsTest = false;  // a debit note with vat_dn 0 counts only with inventory lines
    PartyColumn partyColumn = PartyColumn::PurAct;
    AddressRule address = AddressRule::None;
    bool sanitiseNumber = false;
    std::string_view voucherType = {};       // v_type of every list and sum: "PR"
    std::string_view dateColumn = {};        // "bill_date" or "b_dt"
    std::vector<VoucherSum> basicSums = {};  // the first minus the others
    VoucherSum taxSum = {};
    std::optional<LinesQuery> lines = {};  // for files that report a quantity and rate
    bool totalFromWrittenTexts = true;     // else basic + tax as doubles
    std::vector<BlockElement> elements = {};

    // Figures
    UrdSide urd = UrdSide::None;
    TaxFigure figure = TaxFigure::InputVatPlus;
    FigureSide side = FigureSide::Input;
};

}  // namespace vat
