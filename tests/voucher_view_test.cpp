// The drill-down of an error row to its voucher, on the t_run_figures books.
#include "returns/facts/voucher_view.h"

#include <gtest/gtest.h>

#include "support/ledger_session.h"

namespace vat {

// Found by argument-dependent lookup, so it lives beside the type.
void PrintTo(const VoucherPosting& posting, std::ostream* out) {
    *out << posting.date << " " << posting.debitAccount << " " << posting.debitName << " <- "
         << posting.creditAccount << " " << posting.creditName << " " << posting.amount;
}

namespace {

TEST(VoucherView, APurchaseShowsItsPostingsWithAccountNamesAndItsSupplier) {
    test::LedgerSession session("t_run_figures");
    const VoucherView view = ReadVoucherView(session.ledger, 1);
    EXPECT_EQ(view.type, "PR");
    EXPECT_EQ(view.number, "A/1");
    EXPECT_EQ(view.date, "02/04/2014");  // the supplier's bill date
    EXPECT_EQ(view.postings,
              (std::vector<VoucherPosting>{
                  {"03/04/2014", 16, "Purchases within the state", 101, "SHREE RAMA AGENCIES",
                   "10000.00"},
                  {"03/04/2014", 20, "Input VAT", 101, "SHREE RAMA AGENCIES", "500.00"},
                  {"03/04/2014", 23, "Posted on purchases and debit notes", 101,
                   "SHREE RAMA AGENCIES", "0.50"}}));
    EXPECT_EQ(view.linesTable, "inventory");
    EXPECT_TRUE(view.lines.empty());
    ASSERT_TRUE(view.party);
    EXPECT_EQ(*view.party, (VoucherParty{101, "SHREE RAMA AGENCIES", "BANGALORE", "29100000001",
                                         "MG ROAD", ""}));
}

TEST(VoucherView, ASecondSeriesSaleShowsItsBillLinesAndItsBuyer) {
    test::LedgerSession session("t_run_figures");
    const VoucherView view = ReadVoucherView(session.ledger, 23);
    EXPECT_EQ(view.type, "SR");
    EXPECT_EQ(view.number, "323");
    EXPECT_EQ(view.date, "07/06/2014");
    ASSERT_EQ(view.postings.size(), 2u);
    EXPECT_EQ(view.postings[0].creditName, "Sales outside the state");
    EXPECT_EQ(view.postings[0].debitName, "MADRAS PHARMA");
    EXPECT_EQ(view.linesTable, "bills");
    EXPECT_EQ(view.lines, (std::vector<VoucherLine>{{"50.000", "5.000", "2.00"}}));
    ASSERT_TRUE(view.party);
    EXPECT_EQ(view.party->city, "CHENNAI");
    EXPECT_EQ(view.party->address2, "GUINDY");
}

TEST(VoucherView, AVoucherTheBooksDoNotHoldIsEmpty) {
    test::LedgerSession session("t_run_figures");
    const VoucherView view = ReadVoucherView(session.ledger, 999);
    EXPECT_EQ(view.type, "");
    EXPECT_TRUE(view.postings.empty());
    EXPECT_FALSE(view.party);
}

struct RowCase {
    const char* name;
    ErrorRow row;
    std::vector<long long> vouchers;
};

void PrintTo(const RowCase& c, std::ostream* out) { *out << c.name; }

const std::vector<RowCase> kRowCases = {
    {"NamedInTheError", {"Purchase Within State", "B No.A1 of voucher 1 left out: no party"}, {1}},
    {"NamedInTheDocument", {"Sales Within State", "omitted", "Inv No.C322 (voucher 22)"}, {22}},
    {"ASchemaRowByItsSanitisedNumber",
     {"Purchase Within State", "<SelTin> (3) is not valid", "A1, 02/04/2014, SHREE RAMA AGENCIES",
      "/program/04/efile_pur04.xml", 12},
     {1}},
    {"ASchemaRowByItsSeriesPrefix",
     {"Sales Outside State", "<PurTin> (1) is not valid", "CR323 07/06/2014 MADRAS PHARMA",
      "efile_sal_iss_06.xml", 9},
     {23}},
    {"ANumberThatOnlyBeginsTheDocumentsNumber",
     {"Sales Outside State", "<PurTin> (1) is not valid", "CR3234 07/06/2014",
      "efile_sal_iss_06.xml", 9},
     {}},
    {"AFileOfNoReturn",
     {"Purchase Within State", "<SelTin> (3) is not valid", "A1", "efile_other04.xml", 12},
     {}},
    {"ARowNamingNothing", {"Purchase Within State", "Bill 12 omitted"}, {}},
};

class VouchersOfRowAre : public testing::TestWithParam<RowCase> {
protected:
    static void SetUpTestSuite() { session_ = new test::LedgerSession("t_run_figures"); }
    static void TearDownTestSuite() { delete session_; }
    static test::LedgerSession* session_;
};
test::LedgerSession* VouchersOfRowAre::session_ = nullptr;

TEST_P(VouchersOfRowAre, AsListed) {
    EXPECT_EQ(VouchersOfRow(session_->ledger, GetParam().row), GetParam().vouchers);
}

INSTANTIATE_TEST_SUITE_P(Rows, VouchersOfRowAre, testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vat
