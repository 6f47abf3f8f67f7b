// The error rows grouped by what to fix, on plain rows and notes: one group per cause, every
// row in exactly one group, the ranking and the texts.
#include "returns/fixes/fix_groups.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "returns/results/number_forms.h"
#include "returns/rules/party.h"

namespace vat {
namespace {

// A purchase of party 1203 in the local purchase file, as the run notes it.
DocumentNote Purchase(std::string document, double tax) {
    return {.file = "efile_pur04.xml",
            .document = std::move(document),
            .partyAccount = 1203,
            .partyName = "MEDICO",
            .storedTin = "29 92877574",
            .writtenTin = "29 92877574",
            .basic = 1000,
            .tax = tax};
}

struct NotedRun {
    std::vector<ErrorRow> rows;
    DocumentNotes notes;

    // A row and, when given, the note of its document.
    void Add(std::string error, std::optional<DocumentNote> note = std::nullopt,
             std::string file = "efile_pur04.xml") {
        if (note) {
            note->row = rows.size();
            notes.Add(*note);
        }
        rows.push_back({"Purchase Within State", std::move(error), "", std::move(file)});
    }
};

DocumentNote With(DocumentNote note, DocumentFate fate) {
    note.fate = fate;
    return note;
}

// One run with every cause once, and the TIN failing in two files.
NotedRun EveryCause() {
    NotedRun run;
    DocumentNote spaced = Purchase("B No.M1 · voucher 1", 50);
    spaced.failing = ElementValue::Tin;
    run.Add("<SelTin> (checked element 1) is not valid. Reason: pattern", spaced);
    DocumentNote sale = spaced;
    sale.file = "efile_sal04.xml";
    sale.document = "B No.201 · voucher 2";
    sale.tax = 100;
    sale.purchases = false;
    run.Add("<PurTin> (checked element 1) is not valid. Reason: pattern", sale, "efile_sal04.xml");

    DocumentNote goa = With(Purchase("B No.G4 · voucher 4", 15), DocumentFate::TinSkipped);
    goa.partyAccount = 1301;
    goa.partyName = "GOA TRADERS";
    goa.writtenTin = "30123456789";
    run.Add("B No.G4 of voucher 4 left out: the party's TIN 30123456789 does not begin with 29",
            goa);

    DocumentNote named = Purchase("B No.N2 · voucher 12", 3);
    named.failing = ElementValue::PartyName;
    named.partyAccount = 1700;
    named.partyName = "A & B";
    run.Add("<SelName> (checked element 2) is not valid. Reason: length", named);

    DocumentNote lost = With(Purchase("B No.L9 · voucher 9", 20), DocumentFate::MissingData);
    lost.partyMissing = true;
    lost.partyAccount = 1505;
    lost.partyName = "LOST CITY";
    lost.missing = "the city code 9 of party account 1505 has no row in city";
    run.Add("B No.L9 of voucher 9 left out: " + lost.missing, lost);

    DocumentNote empty = With(Purchase("B No.R10 · voucher 10", 7), DocumentFate::BelowOneRupee);
    empty.basic = 0;
    run.Add("B No.R10 ... omitted due to basic amount being less than Rs.1", empty);

    DocumentNote dated = With(Purchase("B No.D3 · voucher 13", 9), DocumentFate::MissingData);
    dated.missing = "the date 0001-01-01 BC cannot be written in the return";
    run.Add("B No.D3 of voucher 13 left out: " + dated.missing, dated);

    DocumentNote numbered = Purchase("B No.X5 · voucher 14", 4);
    numbered.failing = ElementValue::Number;
    run.Add("<InvNo> (checked element 3) is not valid. Reason: length", numbered);

    run.Add("<TinNo> (checked element 2) is not valid. Reason: pattern");

    DocumentNote shortTin = Purchase("B No.S6 · voucher 6", 5);
    shortTin.partyAccount = 1402;
    shortTin.partyName = "SHORT TIN TRADERS";
    shortTin.storedTin = "2912345";
    shortTin.writtenTin = "29000000000";
    run.notes.Add(shortTin);
    shortTin.document = "B No.S7 · voucher 7";
    run.notes.Add(shortTin);
    // Stored without a TIN: an unregistered dealer meant as one, no warning.
    DocumentNote urd = shortTin;
    urd.partyAccount = 102;
    urd.storedTin = "";
    run.notes.Add(urd);
    return run;
}

struct Expected {
    const char* cause;
    std::optional<long long> party;
    std::optional<std::string> document;
    long long documents;
    std::int64_t taxPaise;
    std::vector<std::size_t> rows;
    const char* text;
    const char* action;
};

TEST(FixGroups, EveryCauseIsOneGroupRankedByTaxThenDocumentsAndWordedForTheAccountant) {
    const NotedRun run = EveryCause();
    const std::vector<Expected> expected = {
        {"tinFailsSchema",
         1203,
         std::nullopt,
         2,
         15000,
         {0, 1},
         "Party 1203 MEDICO: the TIN '29 92877574' holds a space, so 2 records of "
         "efile_pur04.xml and efile_sal04.xml fail the schema (tax 150.00).",
         "Correct the TIN in the party master."},
        {"partyMissing",
         1505,
         std::nullopt,
         1,
         2000,
         {4},
         "Party 1505 LOST CITY: the city code 9 of party account 1505 has no row in city, so 1 "
         "bill of efile_pur04.xml is left out (tax 20.00).",
         "Give the party its ledger row and a city in the party master, or correct the party "
         "account of its vouchers."},
        {"tinOutOfState",
         1301,
         std::nullopt,
         1,
         1500,
         {2},
         "Party 1301 GOA TRADERS: the TIN '30123456789' does not begin with 29, so 1 bill of "
         "efile_pur04.xml is left out (tax 15.00).",
         "If this supplier is outside the state, mark its purchases as bought outside the state; "
         "if its TIN is wrong, correct it."},
        {"urdTin",
         1402,
         std::nullopt,
         2,
         1000,
         {},
         "Party 1402 SHORT TIN TRADERS: the TIN '2912345' as stored has 7 characters, not 11, so "
         "2 bills of efile_pur04.xml are written as an unregistered dealer's (tax 10.00).",
         "If this supplier is a registered dealer, correct its TIN in the party master."},
        {"missingData",
         std::nullopt,
         "B No.D3 · voucher 13",
         1,
         900,
         {6},
         "B No.D3 · voucher 13 of efile_pur04.xml: the date 0001-01-01 BC cannot be written in "
         "the return, so the bill is left out (tax 9.00).",
         "Correct the voucher."},
        {"belowOneRupee",
         std::nullopt,
         "B No.R10 · voucher 10",
         1,
         700,
         {5},
         "B No.R10 · voucher 10 of efile_pur04.xml: it has no postings on the purchase accounts, "
         "so the bill is left out (tax 7.00).",
         "Post the bill's amount on a purchase account, or cancel the voucher."},
        {"documentFailsSchema",
         std::nullopt,
         "B No.X5 · voucher 14",
         1,
         400,
         {7},
         "B No.X5 · voucher 14 of efile_pur04.xml: <InvNo> fails the schema, so the portal would "
         "reject the record (tax 4.00).",
         "Correct the voucher; the error list gives the schema's reason."},
        {"partyFailsSchema",
         1700,
         std::nullopt,
         1,
         300,
         {3},
         "Party 1700 A & B: its name or address as written fails the schema, so 1 record of "
         "efile_pur04.xml fails the schema (tax 3.00).",
         "Correct the party's name or address in the party master."},
        {"schemaRule",
         std::nullopt,
         std::nullopt,
         0,
         0,
         {8},
         "<TinNo> of efile_pur04.xml fails the schema in 1 place: pattern",
         "Correct the value the books give it; for the return's header, the company's own "
         "settings."},
    };
    const std::vector<FixGroup> groups = GroupFixes(run.rows, run.notes);
    ASSERT_EQ(groups.size(), expected.size());
    for (std::size_t at = 0; at < groups.size(); ++at) {
        SCOPED_TRACE(expected[at].cause);
        EXPECT_EQ(CauseCode(groups[at].cause), expected[at].cause);
        EXPECT_EQ(groups[at].party, expected[at].party);
        EXPECT_EQ(groups[at].document, expected[at].document);
        EXPECT_EQ(groups[at].documents, expected[at].documents);
        EXPECT_EQ(groups[at].taxPaise, expected[at].taxPaise);
        EXPECT_EQ(groups[at].rows, expected[at].rows);
        EXPECT_EQ(groups[at].text, expected[at].text);
        EXPECT_EQ(groups[at].action, expected[at].action);
    }
}

// Out-of-state parties the interstate files leave out by the return's own rule: one group a
// party, ranked after every group a change of the books fixes however large its tax, and worded
// as nothing to fix in the books.
TEST(FixGroups, TheInStateRuleGroupsByPartyAfterWhatTheBooksFix) {
    NotedRun run;
    DocumentNote madras = With(Purchase("B No.I1 · voucher 31", 12000), DocumentFate::TinSkipped);
    madras.file = "efile_is_pur04.xml";
    madras.partyAccount = 1801;
    madras.partyName = "MADRAS PHARMA";
    madras.writtenTin = "33123456789";
    madras.byReturnRule = true;
    run.Add("B No.I1 of voucher 31 left out: the party's TIN 33123456789 does not begin with 29",
            madras, "efile_is_pur04.xml");
    madras.document = "B No.I2 · voucher 32";
    run.Add("B No.I2 of voucher 32 left out: the party's TIN 33123456789 does not begin with 29",
            madras, "efile_is_pur04.xml");
    DocumentNote numbered = Purchase("B No.X5 · voucher 14", 4);
    numbered.failing = ElementValue::Number;
    run.Add("<InvNo> (checked element 3) is not valid. Reason: length", numbered);

    const std::vector<FixGroup> groups = GroupFixes(run.rows, run.notes);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(CauseCode(groups[0].cause), "documentFailsSchema");
    const FixGroup& rule = groups[1];
    EXPECT_EQ(CauseCode(rule.cause), "inStateRule");
    EXPECT_FALSE(Fixable(rule));
    EXPECT_EQ(rule.party, 1801);
    EXPECT_EQ(rule.documents, 2);
    EXPECT_EQ(rule.taxPaise, 2400000);
    EXPECT_EQ(rule.rows, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(rule.text,
              "Party 1801 MADRAS PHARMA: the TIN '33123456789' does not begin with 29, so 2 bills "
              "of efile_is_pur04.xml are left out (tax 24,000.00) by the return's rule: the "
              "interstate files take only parties whose TIN begins with 29.");
    EXPECT_EQ(rule.action,
              "Nothing in the books: the supplier is rightly outside the state. To write such "
              "parties with their own TIN, choose all parties for the interstate files (All "
              "parties in the window, --interstate-parties all on the command line).");
}

TEST(FixGroups, EveryRowIsInExactlyOneGroup) {
    NotedRun run = EveryCause();
    // A party's TIN failing in many records, two elements of one document, rows without notes.
    for (int voucher = 20; voucher < 60; ++voucher) {
        DocumentNote note = Purchase("B No." + std::to_string(voucher), voucher);
        note.failing = voucher % 3 ? ElementValue::Tin : ElementValue::Date;
        run.Add("<SelTin> (" + std::to_string(voucher) + ") is not valid", note);
        run.Add("<InvDate> (" + std::to_string(voucher) + ") is not valid");
    }
    std::vector<int> seen(run.rows.size(), 0);
    for (const FixGroup& group : GroupFixes(run.rows, run.notes))
        for (std::size_t row : group.rows) ++seen.at(row);
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int times) { return times == 1; }));
}

// A bill of a party written as the run writes its stored TIN, with no row of its own: warned of
// when the TIN was typed but is not 11 characters long, its tax in paise rounded half away from
// zero.
TEST(FixGroups, AStoredTinOfAnyOtherLengthThan11IsWarnedOfWithItsTax) {
    struct Stored {
        const char* tin;
        double tax;
        bool warned;
        std::int64_t taxPaise;
    };
    for (const Stored& stored : std::vector<Stored>{{"2912345", 5, true, 500},
                                                    {"291234567890", 20.005, true, 2001},
                                                    {"29123456789", 20.005, false, 0},
                                                    {"", 5, false, 0},
                                                    {"   ", 5, false, 0}}) {
        SCOPED_TRACE(std::string("'") + stored.tin + "'");
        DocumentNote bill = Purchase("B No.S6 · voucher 6", stored.tax);
        bill.storedTin = stored.tin;
        bill.writtenTin = NormalizePartyTin(stored.tin);
        const std::vector<FixGroup> groups = GroupFixes({}, {bill});
        ASSERT_EQ(groups.size(), stored.warned ? 1u : 0u);
        if (!stored.warned) continue;
        EXPECT_EQ(groups[0].cause, FixCause::UrdTin);
        EXPECT_EQ(groups[0].taxPaise, stored.taxPaise);
        EXPECT_NE(groups[0].text.find("as stored has " + std::to_string(bill.storedTin.size()) +
                                      " characters, not 11"),
                  std::string::npos)
            << groups[0].text;
    }
}

TEST(FixGroups, EqualTaxRanksByDocumentsThenByTheFirstRow) {
    NotedRun run;
    run.Add("left out", With(Purchase("B No.A · voucher 1", 10), DocumentFate::BelowOneRupee));
    DocumentNote twice = With(Purchase("B No.B · voucher 2", 5), DocumentFate::TinSkipped);
    run.Add("left out", twice);
    twice.document = "B No.C · voucher 3";
    run.Add("left out", twice);
    run.Add("left out", With(Purchase("B No.D · voucher 4", 10), DocumentFate::BelowOneRupee));
    std::vector<std::vector<std::size_t>> order;
    for (const FixGroup& group : GroupFixes(run.rows, run.notes)) order.push_back(group.rows);
    EXPECT_EQ(order, (std::vector<std::vector<std::size_t>>{{1, 2}, {0}, {3}}));
}

}  // namespace
}  // namespace vat
