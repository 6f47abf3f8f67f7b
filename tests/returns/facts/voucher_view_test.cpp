// The drill-down of an error row to its voucher, on the t_run_figures books.
#include "returns/facts/voucher_view.h"

#include <gtest/gtest.h>

#include "returns/rules/text_sanitiser.h"
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

// Every row a real run gives about a document names the voucher behind it, schema rows
// included, and that voucher's document is the one the row names; a row about a file's header
// names none.
TEST(VoucherOfARow, EveryDocumentRowOfARunNamesItsVoucher) {
    int schemaRows = 0, runRows = 0;
    for (const char* dataFile : {"t_schema_errors", "t_local_purchase"}) {
        test::LedgerSession session(dataFile);
        const RunResult april = session.Run(4);
        ASSERT_TRUE(april.Completed()) << dataFile;
        for (const ErrorRow& row : april.rows) {
            if (row.document.empty()) {
                EXPECT_FALSE(row.voucher) << row.error;
                continue;
            }
            ASSERT_TRUE(row.voucher) << row.error;
            const VoucherView view = ReadVoucherView(session.ledger, *row.voucher);
            EXPECT_NE(row.document.find(StripSpecialChars(view.number)), std::string::npos)
                << row.document << " / voucher " << *row.voucher << " numbered " << view.number;
            (row.file.empty() ? runRows : schemaRows) += 1;
        }
    }
    EXPECT_GE(schemaRows, 1);
    EXPECT_GE(runRows, 1);
}

}  // namespace
}  // namespace vat
