#include <gtest/gtest.h>

#include <vector>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

// The fixture ledger t_interstate_sales: April holds both bill series with every rule of the
// file, May the second series only, June first-series bills to buyers of other states only,
// July a local bill only.
namespace vat {
namespace {

namespace fs = std::filesystem;
using test::ExpectCaptions;
using test::LedgerSession;
TEST(InterstateSalesFile, WritesBothSeriesOfAprilByteForByte) {
    LedgerSession session("t_interstate_sales");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(InterstateSalesFileKind(), context);

    // First series before second, each in text order of its bill numbers (10 before 9); the
    // first-series buyer of another state (bill 11), the local, cancelled and cash bills are
    // not in it, nor is bill 13 below one rupee.
    EXPECT_EQ(session.ReturnFile("04/efile_sal_iss_04.xml"),
              session.Expected("t_interstate_sales/efile_sal_iss_04.xml"));
    const std::vector<ErrorRow> rows{
        {"Sales Outside State",
         "Inv No.11 of voucher 3 left out: the party's TIN 07200000002 does not begin with 29"},
        {"Sales Outside State",
         "Inv No.13 Dated:06/04/2014 of TINY BUYER HUBLI omitted due to basic amount being less "
         "than Rs.1"},
    };
    EXPECT_EQ(Said(session.result.rows), rows) << "the file passes its schema: no validation rows";
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "04/efile_sal_iss_04.xml").string()});
}

// With every party chosen the first-series buyer of another state is written with its own TIN,
// in its place among the first series; the file is April's otherwise, byte for byte.
TEST(InterstateSalesFile, WritesOutOfStateBuyersWhenEveryPartyIsChosen) {
    LedgerSession session("t_interstate_sales");
    ReturnContext context = session.Context(4);
    context.interstateParties = InterstateParties::All;
    GenerateReturnFile(InterstateSalesFileKind(), context);

    EXPECT_EQ(session.ReturnFile("04/efile_sal_iss_04.xml"),
              session.Expected("t_interstate_sales/efile_sal_iss_04_all_parties.xml"));
    const std::vector<ErrorRow> rows{
        {"Sales Outside State",
         "Inv No.13 Dated:06/04/2014 of TINY BUYER HUBLI omitted due to basic amount being less "
         "than Rs.1"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
}

TEST(InterstateSalesFile, TotalsCstOfBothSeriesWithOmittedBillsButNotSkippedOnes) {
    LedgerSession session("t_interstate_sales");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(InterstateSalesFileKind(), context);

    // 20 + 19.75 + 0.04 + 0.02 (omitted) + 4, then 1000 + 190.69; the skipped bill's 50, the
    // local bill's 44 and the cancelled and cash bills are not in it.
    ExpectCaptions(session.result.figures, {{"lbl_CST_Sales", "1234.50"},
                                            {"lbl_out_p", "1234.50"},
                                            {"lbl_out_n", "1234.50"},
                                            {"lbl_out_net", "2469.00"},
                                            {"lbl_pay", "2469.00"}});
    EXPECT_EQ(context.urd.salesBills, 0) << "interstate sales add nothing to the URD figures";
    EXPECT_EQ(context.urd.salesBasic, 0);
}

TEST(InterstateSalesFile, AMonthOfSecondSeriesBillsOnlyWritesThemAllWithCrNumbers) {
    LedgerSession session("t_interstate_sales");
    ReturnContext context = session.Context(5);
    GenerateReturnFile(InterstateSalesFileKind(), context);

    // Bill numbers as stored, not sanitised: B/6 before B/7.
    EXPECT_EQ(session.ReturnFile("05/efile_sal_iss_05.xml"),
              session.Expected("t_interstate_sales/efile_sal_iss_05.xml"));
    EXPECT_TRUE(session.result.rows.empty());
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    ExpectCaptions(session.result.figures, {{"lbl_CST_Sales", "14.00"},
                                            {"lbl_out_p", "14.00"},
                                            {"lbl_out_n", "14.00"},
                                            {"lbl_out_net", "28.00"}});
}

TEST(InterstateSalesFile, FirstSeriesBuyersOfOtherStatesOnlyLeaveAFileWithoutBillsAndZeroLabels) {
    LedgerSession session("t_interstate_sales");
    test::SetShownFigures(session.result.figures, {{"lbl_CST_Sales", "7.00"},
                                                   {"lbl_out_p", "7.00"},
                                                   {"lbl_out_n", "7.00"},
                                                   {"lbl_out_net", "7.00"}});
    ReturnContext context = session.Context(6);
    GenerateReturnFile(InterstateSalesFileKind(), context);

    EXPECT_EQ(session.ReturnFile("06/efile_sal_iss_06.xml"),
              session.Expected("t_interstate_sales/efile_sal_iss_06.xml"));
    // Left out, and said so.
    EXPECT_EQ(Said(session.result.rows),
              (std::vector<ErrorRow>{{"Sales Outside State",
                                      "Inv No.40 of voucher 40 left out: the party's TIN "
                                      "07200000002 does not begin with 29"}}));
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    ExpectCaptions(session.result.figures, {{"lbl_CST_Sales", "0.00"},
                                            {"lbl_out_p", "0.00"},
                                            {"lbl_out_n", "0.00"},
                                            {"lbl_out_net", "0.00"}});
}

TEST(InterstateSalesFile, LeavesOutABillWithoutAPartyRowAndEscapesABillNumberAsStored) {
    LedgerSession session("t_interstate_sales");
    ReturnContext context = session.Context(8);
    GenerateReturnFile(InterstateSalesFileKind(), context);

    EXPECT_EQ(session.ReturnFile("08/efile_sal_iss_08.xml"),
              session.Expected("t_interstate_sales/efile_sal_iss_08.xml"));
    const std::vector<ErrorRow> rows{
        {"Sales Outside State",
         "Inv No.60 of voucher 60 left out: the party account 999 has no row in ledger_acts"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.Caption("lbl_CST_Sales"), "4.00") << "nothing of a bill left out counts";
}

TEST(InterstateSalesFile, AFileWithoutBillsIsStillCheckedAgainstItsSchema) {
    LedgerSession session("t_interstate_sales");
    fs::remove(session.folder / "XSD/eval_sal_is.xsd");
    ReturnContext context = session.Context(6);
    try {
        GenerateReturnFile(InterstateSalesFileKind(), context);
        FAIL() << "the schema check of the June file did not run";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Load XSD failed: ", 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace vat
