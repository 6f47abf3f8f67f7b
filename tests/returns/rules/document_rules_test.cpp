// The rules of one document as a table: a list row and the books' facts in, the document or
// its fate out. No server: the facts are plain values.
#include "returns/rules/document_rules.h"

#include <gtest/gtest.h>

#include <map>

#include "returns/declarations/return_files.h"

namespace vat {
namespace {

// The books as a few maps; every question asked is recorded, in order.
struct TableFacts : DocumentFacts {
    std::map<long long, PartyFacts> parties;
    std::map<long long, CityFacts> cities;
    std::map<std::string, std::string> sums;  // by the sum's field name
    LineFacts lines;
    bool inventory = false;
    std::vector<std::string> asked;

    void PrepareFile(const ReturnFileKind&, const std::vector<BufferedRows>&) override {}
    bool HasInventoryLines(long long) override {
        asked.push_back("inventory");
        return inventory;
    }
    const PartyFacts* Party(long long account) override {
        asked.push_back("party");
        auto at = parties.find(account);
        return at == parties.end() ? nullptr : &at->second;
    }
    const CityFacts* City(long long code) override {
        asked.push_back("city");
        auto at = cities.find(code);
        return at == cities.end() ? nullptr : &at->second;
    }
    std::optional<std::string_view> Sum(const VoucherSum& sum, long long) override {
        asked.push_back(std::string(sum.alias));
        auto at = sums.find(std::string(sum.alias));
        return at == sums.end() ? "0" : std::string_view(at->second);
    }
    const LineFacts& Lines(long long) override {
        asked.push_back("lines");
        return lines;
    }
};

TableFacts Books(const char* tin, std::optional<std::string> cityCode = "1") {
    TableFacts facts;
    facts.parties[101] = {"M/S. RAMA & CO.", cityCode, tin, "12, MG Road", "Shivajinagar"};
    facts.cities[1] = {"1", "BANGALORE"};
    facts.cities[0] = {"0", "-"};
    return facts;
}

// The first row of a list of the kind's first list, read as the run reads it.
ShapedDocument ShapeFirstRow(const ReturnFileKind& kind, const BufferedRows& rows,
                             DocumentFacts& facts) {
    return ShapeDocument(kind, kind.lists.front(), ListColumns(kind, rows).Row(0), facts);
}

// One purchase list row of voucher 7 from party 101, as the list query gives it.
BufferedRows PurchaseRow(std::optional<std::string> date = "2014-04-02") {
    return BufferedRows({"vn", "b_dt", "b_no", "pur_act", "bill_date"},
                        {{"7", "2014-04-03", "B/7", "101", std::move(date)}});
}

ShapedDocument ShapePurchase(TableFacts& facts, const BufferedRows& row) {
    const ReturnFileKind& kind = LocalPurchaseFileKind();
    return ShapeFirstRow(kind, row, facts);
}

TEST(DocumentRules, ALocalPurchaseFromItsFacts) {
    const struct {
        const char* tin;
        const char* purchase;
        const char* tax;
        DocumentFate fate;
        const char* writtenTin;
    } cases[] = {
        {"29100000001", "500.00", "25.00", DocumentFate::Written, "29100000001"},
        {"", "1000.00", "50.00", DocumentFate::Written, "29000000000"},  // URD
        {"1234567890123", "10.00", "0.50", DocumentFate::Written, "29000000000"},
        {"30123456789", "500.00", "25.00", DocumentFate::TinSkipped, ""},  // other state
        {"29100000001", "0.99", "0.05", DocumentFate::BelowOneRupee, "29100000001"},
        {"29100000001", "1.00", "0.05", DocumentFate::Written, "29100000001"},  // one rupee is kept
        {"29100000001", "1.01", "0.05", DocumentFate::Written, "29100000001"},
    };
    for (const auto& c : cases) {
        TableFacts facts = Books(c.tin);
        facts.sums = {{"pur_amt", c.purchase}, {"tax_amt", c.tax}};
        const ShapedDocument shaped = ShapePurchase(facts, PurchaseRow());
        EXPECT_EQ(shaped.fate, c.fate) << c.tin << " " << c.purchase;
        if (c.fate == DocumentFate::TinSkipped) {
            // No city is asked for, only the tax the return leaves out.
            EXPECT_EQ(facts.asked, (std::vector<std::string>{"party", "tax_amt"}));
            EXPECT_EQ(shaped.leftOutTax, std::stod(c.tax));
            EXPECT_EQ(shaped.partyAccount, 101);
            EXPECT_EQ(shaped.storedTin, c.tin);
            continue;
        }
        EXPECT_EQ(shaped.document.tin, c.writtenTin);
        EXPECT_EQ(shaped.document.partyName, "MS RAMA  CO BANGALORE");
        EXPECT_EQ(shaped.document.date, "2014-04-02");
        EXPECT_EQ(shaped.document.basic, std::stod(c.purchase));
        EXPECT_EQ(shaped.document.total, std::stod(c.purchase) + std::stod(c.tax));
    }
}

TEST(DocumentRules, MissingFactsLeaveTheDocumentOutSayingWhich) {
    const struct {
        TableFacts facts;
        BufferedRows row;
        const char* missing;
    } cases[] = {
        {TableFacts{}, PurchaseRow(), "the party account 101 has no row in ledger_acts"},
        {Books("29100000001", std::nullopt), PurchaseRow(),
         "the party account 101 has no city code"},
        {Books("29100000001", "9"), PurchaseRow(),
         "the city code 9 of party account 101 has no "
         "row in city"},
        {Books("29100000001"), PurchaseRow(std::nullopt), "the document date is empty"},
        {Books("29100000001"),
         BufferedRows({"vn", "b_dt", "b_no", "pur_act", "bill_date"},
                      {{"7", "2014-04-03", "B/7", std::nullopt, "2014-04-02"}}),
         "the party account is empty"},
    };
    for (auto c : cases) {
        const ShapedDocument shaped = ShapePurchase(c.facts, c.row);
        EXPECT_EQ(shaped.fate, DocumentFate::MissingData) << c.missing;
        EXPECT_EQ(shaped.missing, c.missing);
    }
}

TEST(DocumentRules, ADebitNoteWithoutGoodsIsNotADocument) {
    const ReturnFileKind& kind = PurchaseReturnFileKind();
    const auto note = [](const char* vatDn) {
        return BufferedRows({"vn", "b_dt", "b_no", "dn_act", "bill_date", "vat_dn"},
                            {{"8", "2014-04-16", "D-8", "101", "2014-04-16", vatDn}});
    };
    TableFacts withoutLines = Books("29100000001");
    EXPECT_EQ(ShapeFirstRow(kind, note("0"), withoutLines).fate, DocumentFate::NotGoods);
    TableFacts withLines = Books("29100000001");
    withLines.inventory = true;
    withLines.sums = {{"pur_amt", "70.00"}};
    EXPECT_EQ(ShapeFirstRow(kind, note("0"), withLines).fate, DocumentFate::Written);
    TableFacts withVat = Books("29100000001");
    withVat.sums = {{"pur_amt", "70.00"}};
    EXPECT_EQ(ShapeFirstRow(kind, note("1"), withVat).fate, DocumentFate::Written);
    EXPECT_EQ(withVat.asked.front(), "party") << "vat_dn 1 needs no look at the lines";
}

TEST(DocumentRules, AnInterstateSaleCarriesItsAddressQuantityAndTransactionType) {
    const ReturnFileKind& kind = InterstateSalesFileKind();
    const BufferedRows row({"vn", "b_dt", "b_no", "p_act", "c_act"},
                           {{"11", "2014-04-19", "S-11", "101", "0"}});
    const struct {
        LineFacts lines;
        int quantity;
        const char* tranType;
    } cases[] = {
        {{"12.000", "2.00"}, 12, "C"},        // concessional
        {{"12.000", "3.99"}, 12, "C"},        // just below four
        {{"12.000", "4.00"}, 12, "WC"},       // four itself is not concessional
        {{"12.000", std::nullopt}, 12, "C"},  // a NULL rate counts as 0
        {{"12.500", "5.00"}, 12, "WC"},       // to even
        {{std::nullopt, std::nullopt}, 0, "C"},
    };
    for (const auto& c : cases) {
        TableFacts facts = Books("29100000001");
        facts.lines = c.lines;
        facts.sums = {{"sold_amt", "900.00"}, {"disc_amt", "10.00"}, {"tax_amt", "17.80"}};
        const ShapedDocument shaped = ShapeFirstRow(kind, row, facts);
        ASSERT_EQ(shaped.fate, DocumentFate::Written);
        EXPECT_EQ(shaped.document.address, "12 MG RoadShivajinagar BANGALORE");
        EXPECT_EQ(shaped.document.basic, 890);
        EXPECT_EQ(shaped.document.quantity, c.quantity);
        EXPECT_EQ(shaped.document.tranType, c.tranType) << c.lines.rate.value_or("NULL");
    }
}

}  // namespace
}  // namespace vat
