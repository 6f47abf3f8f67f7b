// The reconciliation's classification on plain values: postings and the run's documents in,
// items out, one group per reason; and the reconciliation as the report and record keep it.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <type_traits>

#include "returns/check/books_check.h"
#include "returns/reconcile/classify_postings.h"
#include "returns/record/reconciliation_json.h"
#include "returns/record/run_record.h"
#include "returns/results/returns_errors.h"

namespace vat {
namespace {

using enum ReconcilingReason;
using enum ReconciledFigure;

const ReconciledMonth kApril2014 = ReconciledMonth::Of(2014, 4);

std::optional<LedgerDate> Day(const char* iso) { return LedgerDate::Parse(iso); }

// A posting of a voucher: recact, payact, amount in paise, on 7 April 2014, live, within the
// state, no cash sale, a party on p_act and cn_act.
TaxPosting Posting(long long voucher, const char* type, long long debited, long long credited,
                   std::int64_t paise) {
    return {voucher, type, Day("2014-04-07"), debited, credited, paise, 0, 0, 0, 501, 0, 501};
}

ListedDocument Counted(TaxFigure file, long long voucher, const char* document = "B No.X") {
    return {.voucher = voucher,
            .document = document,
            .listDate = Day("2014-04-07"),
            .file = file,
            .counted = true};
}

// What the tests compare of an item: figure, reason, voucher, account, amount, document.
using Seen = std::tuple<ReconciledFigure, ReconcilingReason, long long, long long, std::int64_t,
                        std::optional<std::string>>;

ReconcilingItems ClassifyPostings(const std::vector<TaxPosting>& postings,
                                  const ListedDocuments& documents) {
    PostingsClassifier classifier(kApril2014, documents);
    for (const TaxPosting& posting : postings) classifier.Add(posting);
    return classifier.TakeItems();
}

std::vector<Seen> Classify(const std::vector<TaxPosting>& postings,
                           const ListedDocuments& documents) {
    const ReconcilingItems items = ClassifyPostings(postings, documents);
    std::vector<Seen> seen;
    for (int figure = 0; figure < kReconciledFigureCount; ++figure)
        for (const ReconcilingItem& item : items[figure])
            seen.emplace_back(static_cast<ReconciledFigure>(figure), item.reason, item.voucher,
                              item.account, item.amount, item.document);
    return seen;
}

struct Case {
    const char* name;
    std::vector<TaxPosting> postings;
    ListedDocuments documents;
    std::vector<Seen> expected;
};

void ExpectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(Classify(c.postings, c.documents), c.expected) << c.name;
}

template <typename T>
TaxPosting With(TaxPosting posting, T TaxPosting::*member, std::type_identity_t<T> value) {
    posting.*member = value;
    return posting;
}

TEST(ReconciliationRules, WhatTheBooksAndTheReturnCountAlikeMakesNoItem) {
    ExpectCases({
        {"a listed purchase",
         {Posting(1, "PR", 20, 501, 5000)},
         {Counted(TaxFigure::InputVatPlus, 1)},
         {}},
        {"a cancelled posting of a voucher no list takes",
         {With(Posting(2, "JV", 20, 30, 5000), &TaxPosting::unact, 1LL)},
         {},
         {}},
        {"a journal of another month",
         {With(Posting(3, "JV", 20, 30, 5000), &TaxPosting::date, Day("2014-05-01"))},
         {},
         {}},
        {"an interstate sale's CST",
         {With(Posting(4, "SR", 501, 14, 800), &TaxPosting::interstateFirstSeries, true)},
         {Counted(TaxFigure::CstSales, 4, "Inv No.S4")},
         {}},
    });
}

TEST(ReconciliationRules, ACancelledPostingOfAListedVoucherIsNotLive) {
    ExpectCases({
        {"input VAT",
         {Posting(1, "PR", 20, 501, 5000),
          With(Posting(1, "PR", 21, 501, 700), &TaxPosting::unact, 1LL)},
         {Counted(TaxFigure::InputVatPlus, 1, "B No.P1")},
         {{InputVat, NotLive, 1, 21, 700, "B No.P1"}}},
        {"output VAT of a credit note, which the return subtracts",
         {With(Posting(2, "CN", 12, 501, 250), &TaxPosting::unact, 2LL)},
         {Counted(TaxFigure::OutputVatMinus, 2, "Inv No.C2")},
         {{OutputVat, NotLive, 2, 12, -250, "Inv No.C2"}}},
    });
}

TEST(ReconciliationRules, APostingOfAListedVoucherDatedOutsideTheMonthIsOtherPeriod) {
    ExpectCases({
        {"next month",
         {With(Posting(1, "PR", 20, 501, 1000), &TaxPosting::date, Day("2014-05-02"))},
         {Counted(TaxFigure::InputVatPlus, 1)},
         {{InputVat, OtherPeriod, 1, 20, 1000, "B No.X"}}},
        {"April of the next year",
         {With(Posting(2, "SR", 501, 12, 900), &TaxPosting::date, Day("2015-04-11"))},
         {Counted(TaxFigure::OutputVatPlus, 2, "Inv No.S2")},
         {{OutputVat, OtherPeriod, 2, 12, 900, "Inv No.S2"}}},
        {"no date at all",
         {With(Posting(3, "PR", 22, 501, 300), &TaxPosting::date, std::optional<LedgerDate>())},
         {Counted(TaxFigure::CstPurchases, 3)},
         {{CstPurchases, OtherPeriod, 3, 22, 300, "B No.X"}}},
    });
}

TEST(ReconciliationRules, AVoucherListedMoreThanOnceIsCountedAgain) {
    ExpectCases({
        {"a debit note on two dates",
         {Posting(1, "DN", 501, 20, 1000)},
         {Counted(TaxFigure::InputVatMinus, 1, "DN No.D1"),
          Counted(TaxFigure::InputVatMinus, 1, "DN No.D1")},
         {{InputVat, CountedAgain, 1, 20, -1000, "DN No.D1"}}},
        {"three times, one of them a posting of May",
         {With(Posting(2, "PR", 20, 501, 500), &TaxPosting::date, Day("2014-05-01"))},
         {Counted(TaxFigure::InputVatPlus, 2), Counted(TaxFigure::InputVatPlus, 2),
          Counted(TaxFigure::InputVatPlus, 2)},
         {{InputVat, OtherPeriod, 2, 20, 500, "B No.X"},
          {InputVat, CountedAgain, 2, 20, 1000, "B No.X"}}},
    });
}

TEST(ReconciliationRules, AVoucherTypeNoFileReadsIsTypeNotRead) {
    ExpectCases({
        {"a journal on input VAT",
         {Posting(1, "JV", 20, 30, 12345)},
         {},
         {{InputVat, TypeNotRead, 1, 20, -12345, std::nullopt}}},
        {"output VAT on a purchase, listed for its input VAT",
         {Posting(2, "PR", 501, 13, 400)},
         {Counted(TaxFigure::InputVatPlus, 2)},
         {{OutputVat, TypeNotRead, 2, 13, -400, std::nullopt}}},
        {"CST on a debit note",
         {Posting(3, "DN", 501, 22, 200)},
         {},
         {{CstPurchases, TypeNotRead, 3, 22, 200, std::nullopt}}},
    });
}

TEST(ReconciliationRules, ALiveVoucherNoListTakesIsNotListed) {
    ExpectCases({
        {"a cash sale",
         {With(Posting(1, "SR", 501, 12, 1800), &TaxPosting::cashSale, 1LL)},
         {},
         {{OutputVat, NotListed, 1, 12, -1800, std::nullopt}}},
        {"a purchase from outside the state with VAT posted",
         {With(Posting(2, "PR", 20, 501, 400), &TaxPosting::outState, 1LL)},
         {Counted(TaxFigure::CstPurchases, 2)},
         {{InputVat, NotListed, 2, 20, -400, std::nullopt}}},
        {"CST on a purchase within the state",
         {Posting(3, "PR", 22, 501, 300)},
         {},
         {{CstPurchases, NotListed, 3, 22, -300, std::nullopt}}},
        {"a sale with no party account",
         {With(Posting(4, "SR", 501, 12, 100), &TaxPosting::salesParty, 0LL)},
         {},
         {{OutputVat, NotListed, 4, 12, -100, std::nullopt}}},
        {"a credit note with no party account",
         {With(Posting(5, "CN", 12, 501, 100), &TaxPosting::creditNoteParty, 0LL)},
         {},
         {{OutputVat, NotListed, 5, 12, 100, std::nullopt}}},
        {"CST on a sale without an interstate line",
         {Posting(6, "SR", 501, 14, 100)},
         {},
         {{CstSales, NotListed, 6, 14, -100, std::nullopt}}},
        // Every live debit note of the month is listed: a posting no list takes and no
        // condition explains stays unexplained.
        {"a debit note no list holds", {Posting(7, "DN", 501, 20, 100)}, {}, {}},
    });
}

TEST(ReconciliationRules, AListedDocumentTheRunLeftOutIsLeftOut) {
    ListedDocument skipped = Counted(TaxFigure::InputVatPlus, 1, "B No.P1");
    skipped.counted = false;
    skipped.leftOutBecause = "the party's TIN 07500000002 does not begin with 29";
    const std::vector<TaxPosting> postings{Posting(1, "PR", 20, 502, 1500)};
    ExpectCases(
        {{"by its TIN", postings, {skipped}, {{InputVat, LeftOut, 1, 20, -1500, "B No.P1"}}}});
    EXPECT_EQ(ClassifyPostings(postings, {skipped})[0].at(0).text,
              "voucher 1 (PR, 07/04/2014): input VAT account 20 debited 15.00; B No.P1 of "
              "efile_pur04.xml was left out: the party's TIN 07500000002 does not begin with 29");
}

TEST(ReconciliationRules, ASideTheReturnsSumDoesNotReadIsOtherSide) {
    ExpectCases({
        {"a credit to input VAT on a purchase",
         {Posting(1, "PR", 20, 501, 500), Posting(1, "PR", 501, 21, 200)},
         {Counted(TaxFigure::InputVatPlus, 1)},
         {{InputVat, OtherSide, 1, 21, 200, std::nullopt}}},
        {"a debit to output VAT on a sale",
         {Posting(2, "SR", 12, 501, 300)},
         {Counted(TaxFigure::OutputVatPlus, 2)},
         {{OutputVat, OtherSide, 2, 12, 300, std::nullopt}}},
    });
}

TEST(ReconciliationRules, TheCalendarMonthFollowsTheFinancialYear) {
    EXPECT_EQ(ReconciledMonth::Of(2014, 4).first, (LedgerDate{2014, 4, 1}));
    EXPECT_EQ(ReconciledMonth::Of(2014, 12).last, (LedgerDate{2014, 12, 31}));
    EXPECT_EQ(ReconciledMonth::Of(2015, 2).last, (LedgerDate{2016, 2, 29}));
    EXPECT_EQ(ReconciledMonth::Of(2014, 1).Name(), "January 2015");
}

Reconciliation Sample() {
    Reconciliation reconciliation;
    reconciliation.periodStart = "2014-04-01";
    reconciliation.periodEnd = "2014-04-30";
    FigureReconciliation& input = reconciliation.Of(InputVat);
    input = {{20, 21, 35}, 18545, 7200, {}};
    input.items.push_back({101, "JV", "2014-04-05", std::nullopt, 20, -12345, TypeNotRead, "a"});
    input.items.push_back({103, "PR", "2014-05-02", "B No.P103", 20, 1000, OtherPeriod, "b"});
    reconciliation.booksVatPayable = -18545;
    reconciliation.returnVatPayable = -7200;
    return reconciliation;
}

TEST(ReconciliationRules, TheRecordKeepsTheReconciliationAndAnOlderRecordHasNone) {
    RunRecord record;
    record.dataFile = "t_reconcile";
    record.month = 4;
    record.reconciliation = Sample();
    std::ostringstream text;
    PrintRunRecord(record, text);
    // Its items printed one by one, the record reads as the JSON library prints it whole.
    EXPECT_EQ(text.str(), nlohmann::ordered_json::parse(text.str()).dump(1) + "\n");
    const RunRecord read = ParseRunRecord(text.str());
    EXPECT_EQ(read.reconciliation, record.reconciliation);
    EXPECT_EQ(read.reconciliation->Of(InputVat).Unexplained(), 0);

    record.reconciliation.reset();
    std::ostringstream older;
    PrintRunRecord(record, older);
    EXPECT_FALSE(ParseRunRecord(older.str()).reconciliation);
}

TEST(ReconciliationRules, ItemsAreWrittenAsTheLibraryDumpsThemWhole) {
    Reconciliation reconciliation = Sample();
    std::vector<ReconcilingItem>& items = reconciliation.Of(CstSales).items;
    // Amounts in every form a double in rupees takes, and texts the escaping must follow.
    for (const std::int64_t paise : {0LL, 5LL, 50LL, -7LL, -100LL, 99999999999999999LL / 100,
                                     999999999999999LL, 1000000000000001LL, -1234567890123456LL})
        items.push_back({paise, "SR", "2014-04-09", std::nullopt, 14, paise, LeftOut, "x"});
    items.push_back({7, "S\"R", "", "B No.\t\x01\xc3\xa9", 14, 1, NotListed, "bad \xff\xfe"});
    for (const int indent : {1, 2}) {
        std::ostringstream text;
        vat::JsonObjectWriter object(text, 0, indent);
        WriteReconciliationJson(object, "reconciliation", reconciliation);
        object.Close();
        EXPECT_EQ(text.str(),
                  nlohmann::ordered_json::parse(text.str())
                      .dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
    }
}

TEST(ReconciliationRules, AMalformedReconciliationIsAnError) {
    RunRecord record;
    record.month = 4;
    record.reconciliation = Sample();
    std::ostringstream text;
    PrintRunRecord(record, text);
    const nlohmann::ordered_json good =
        nlohmann::ordered_json::parse(text.str()).at("reconciliation");
    const auto broken = [&](const char* pointer, nlohmann::ordered_json value) {
        nlohmann::ordered_json json = good;
        json[nlohmann::ordered_json::json_pointer(pointer)] = std::move(value);
        return json;
    };
    EXPECT_EQ(ParseReconciliationJson(good), Sample());
    for (const nlohmann::ordered_json& json :
         {broken("/inputVat/unexplained", 12.0), broken("/inputVat/books", "185.45"),
          broken("/inputVat/items/0/reason", "lost"), broken("/inputVat/items/1/amount", "1"),
          broken("/vatPayable/difference", 1.0), broken("/period", nullptr)}) {
        EXPECT_THROW(ParseReconciliationJson(json), RunRecordError) << json.dump();
        // A record takes its items as it is parsed, with the same errors.
        nlohmann::ordered_json whole = nlohmann::ordered_json::parse(text.str());
        whole["reconciliation"] = json;
        EXPECT_THROW(ParseRunRecord(whole.dump(1)), RunRecordError) << json.dump();
    }
    // A figure's items given twice are refused, as any member given twice is: one reader could
    // take the first and another the last.
    std::string twice = text.str();
    const std::size_t items = twice.find("\"items\": [");
    const std::size_t end = twice.find("\n   ]", items) + 5;  // the list's closing line
    twice.insert(end, ",\n   " + twice.substr(items, end - items));
    try {
        ParseRunRecord(twice);
        ADD_FAILURE() << twice;
    } catch (const RunRecordError& error) {
        EXPECT_STREQ(error.what(),
                     "not a run record: its member \"items\" is given twice in one object");
    }
}

TEST(ReconciliationRules, TheBooksCheckNamesAChangedReconciliation) {
    RunRecord recorded;
    recorded.reconciliation = Sample();
    RunRecord now = recorded;
    FigureReconciliation& input = now.reconciliation->Of(InputVat);
    input.books += 1200;
    input.items.push_back({900, "JV", "2014-04-20", std::nullopt, 20, -1200, TypeNotRead, "c"});
    EXPECT_TRUE(CompareRunRecords(recorded, recorded).reconciliation.empty());
    EXPECT_EQ(CompareRunRecords(recorded, now).reconciliation,
              (std::vector<std::string>{"reconciliation of input VAT: books 185.45 -> 197.45",
                                        "reconciliation of input VAT: 2 items -> 3 items, some "
                                        "changed"}));
    input.items.pop_back();
    EXPECT_EQ(
        CompareRunRecords(recorded, now).reconciliation,
        (std::vector<std::string>{"reconciliation of input VAT: books 185.45 -> 197.45",
                                  "reconciliation of input VAT: unexplained 0.00 -> -12.00"}));
    now.reconciliation.reset();
    EXPECT_TRUE(CompareRunRecords(recorded, now).reconciliation.empty())
        << "a record written before runs were reconciled has nothing to compare";
}

}  // namespace
}  // namespace vat
