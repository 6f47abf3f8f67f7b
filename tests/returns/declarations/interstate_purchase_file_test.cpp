#include <gtest/gtest.h>

#include <vector>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

// The fixture ledger t_interstate_purchase: April holds every rule of the file, May purchases
// from sellers of other states only, June a local purchase only, July vouchers whose rows the
// list's grouping splits or joins and a party whose city has no row.
namespace vat {
namespace {

namespace fs = std::filesystem;
using test::ExpectCaptions;
using test::LedgerSession;
TEST(InterstatePurchaseFile, WritesAprilByteForByte) {
    LedgerSession session("t_interstate_purchase");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(InterstatePurchaseFileKind(), context);

    // In voucher-date order with the supplier's bill dates; the seller of another state, the
    // local and cancelled purchases are not in it, nor is A/117 below one rupee.
    EXPECT_EQ(session.ReturnFile("04/efile_is_pur04.xml"),
              session.Expected("t_interstate_purchase/efile_is_pur04.xml"));
    const std::vector<ErrorRow> rows{
        {"Purchase Outside State",
         "B No.D4 of voucher 4 left out: the party's TIN 07300000004 does not begin with 29"},
        {"Purchase Outside State",
         "B No.A117 Dated:05/04/2014 of PHARMA PUNE omitted due to basic amount being less than "
         "Rs.1"},
    };
    EXPECT_EQ(Said(session.result.rows), rows) << "the file passes its schema: no validation rows";
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "04/efile_is_pur04.xml").string()});
}

// With every party chosen the seller of another state is written with its own TIN; the file is
// April's otherwise, byte for byte.
TEST(InterstatePurchaseFile, WritesOutOfStateSellersWhenEveryPartyIsChosen) {
    LedgerSession session("t_interstate_purchase");
    ReturnContext context = session.Context(4);
    context.interstateParties = InterstateParties::All;
    GenerateReturnFile(InterstatePurchaseFileKind(), context);

    EXPECT_EQ(session.ReturnFile("04/efile_is_pur04.xml"),
              session.Expected("t_interstate_purchase/efile_is_pur04_all_parties.xml"));
    const std::vector<ErrorRow> rows{
        {"Purchase Outside State",
         "B No.A117 Dated:05/04/2014 of PHARMA PUNE omitted due to basic amount being less than "
         "Rs.1"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
}

TEST(InterstatePurchaseFile, TotalsCstWithOmittedPurchasesButNotSkippedOnes) {
    LedgerSession session("t_interstate_purchase");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(InterstatePurchaseFileKind(), context);

    // 5.01 + 84.46 + 0.49 (omitted) + 0.04 + 10; the skipped seller's 40, the local purchase's
    // 20 and the cancelled purchase's 18 are not in it.
    ExpectCaptions(session.result.figures, {{"lbl_CST_Purchase", "100.00"},
                                            {"lbl_in_p", "100.00"},
                                            {"lbl_in_n", "100.00"},
                                            {"lbl_in_net", "200.00"},
                                            {"lbl_pay", "-200.00"}});
    EXPECT_EQ(context.urd.purchaseBills, 0)
        << "interstate purchases add nothing to the URD figures";
    EXPECT_EQ(context.urd.purchaseBasic, 0);
}

TEST(InterstatePurchaseFile, SellersOfOtherStatesOnlyLeaveAFileWithoutBillsAndZeroLabels) {
    LedgerSession session("t_interstate_purchase");
    test::SetShownFigures(session.result.figures, {{"lbl_CST_Purchase", "7.00"},
                                                   {"lbl_in_p", "7.00"},
                                                   {"lbl_in_n", "7.00"},
                                                   {"lbl_in_net", "7.00"}});
    ReturnContext context = session.Context(5);
    GenerateReturnFile(InterstatePurchaseFileKind(), context);

    EXPECT_EQ(session.ReturnFile("05/efile_is_pur05.xml"),
              session.Expected("t_interstate_purchase/efile_is_pur05.xml"));
    // Left out, and said so.
    const std::vector<ErrorRow> rows{
        {"Purchase Outside State",
         "B No.D10 of voucher 10 left out: the party's TIN 07300000004 does not begin with 29"},
        {"Purchase Outside State",
         "B No.G11 of voucher 11 left out: the party's TIN 24300000006 does not begin with 29"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    ExpectCaptions(session.result.figures, {{"lbl_CST_Purchase", "0.00"},
                                            {"lbl_in_p", "0.00"},
                                            {"lbl_in_n", "0.00"},
                                            {"lbl_in_net", "0.00"}});
}

TEST(InterstatePurchaseFile, FollowsTheListsGroupingAndLeavesOutAPartyWithoutACityRow) {
    LedgerSession session("t_interstate_purchase");
    ReturnContext context = session.Context(7);
    GenerateReturnFile(InterstatePurchaseFileKind(), context);

    // T/30 has rows on two voucher dates: two list rows, each with all its postings. Q/31's rows
    // differ only in bill_no: two groups that DISTINCT makes one row.
    EXPECT_EQ(session.ReturnFile("07/efile_is_pur07.xml"),
              session.Expected("t_interstate_purchase/efile_is_pur07.xml"));
    const std::vector<ErrorRow> rows{
        {"Purchase Outside State",
         "B No.M32 of voucher 32 left out: the city code 9 of party account 307 has no row in "
         "city"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.Caption("lbl_CST_Purchase"), "10.00")
        << "2 twice and 6; M/32's 50 is not in it";
}

TEST(InterstatePurchaseFile, AFileWithoutBillsIsStillCheckedAgainstItsSchema) {
    LedgerSession session("t_interstate_purchase");
    fs::remove(session.folder / "XSD/eval_pur_is.xsd");
    ReturnContext context = session.Context(5);
    try {
        GenerateReturnFile(InterstatePurchaseFileKind(), context);
        FAIL() << "the schema check of the May file did not run";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Load XSD failed: ", 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace vat
