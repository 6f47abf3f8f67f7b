#include <gtest/gtest.h>

#include <fstream>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;

TEST(LocalPurchaseFile, WritesAprilOfTheFixtureLedgerByteForByte) {
    LedgerSession session("t_local_purchase");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalPurchaseFileKind(), context);

    EXPECT_EQ(session.ReturnFile("04/efile_pur04.xml"),
              session.Expected("t_local_purchase/efile_pur04.xml"));
    const std::vector<ErrorRow> rows{
        {"Purchase Within State",
         "B No.G4 of voucher 4 left out: the party's TIN 30123456789 does not begin with 29"},
        {"Purchase Within State",
         "B No.T1 Dated:08/04/2014 of TINY BILLS  omitted due to basic amount being less than "
         "Rs.1"},
        {"Purchase Within State",
         "B No.M8 of voucher 8 left out: the party account 999 has no row in ledger_acts"},
        {"Purchase Within State",
         "B No.M9 of voucher 9 left out: the city code 9 of party account 106 has no row in city"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
}

TEST(LocalPurchaseFile, TotalsInputVatWithOmittedBillsAndUrdPurchasesOfWrittenBills) {
    LedgerSession session("t_local_purchase");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalPurchaseFileKind(), context);

    // 10 + 5.01 + 50 + 0.02 (omitted) + 5 twice + 8 + 12; the other state's 15 is not in it.
    EXPECT_EQ(session.Caption("lbl_InputVAT_Plus"), "95.03");
    EXPECT_EQ(session.Caption("lbl_in_p"), "95.03");
    EXPECT_EQ(session.Caption("lbl_in_n"), "95.03");
    EXPECT_EQ(session.Caption("lbl_in_net"), "190.06");
    EXPECT_EQ(session.Caption("lbl_pay"), "-190.06");
    EXPECT_EQ(context.urd.purchaseBills, 1);
    EXPECT_DOUBLE_EQ(context.urd.purchaseBasic, 1000);
    EXPECT_DOUBLE_EQ(context.urd.purchaseVat, 50);
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "04/efile_pur04.xml").string()});
}

TEST(LocalPurchaseFile, ReplacesAReadOnlyOldFile) {
    LedgerSession session("t_local_purchase");
    fs::create_directories(session.folder / "04");
    const fs::path old = session.folder / "04/efile_pur04.xml";
    std::ofstream(old) << "old";
    fs::permissions(old, fs::perms::owner_read);
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalPurchaseFileKind(), context);
    EXPECT_EQ(session.ReturnFile("04/efile_pur04.xml"),
              session.Expected("t_local_purchase/efile_pur04.xml"));
}

TEST(LocalPurchaseFile, ASchemaThatCannotBeLoadedFailsTheGeneratorWithoutAFile) {
    LedgerSession session("t_local_purchase");
    fs::remove(session.folder / "XSD/eval_pur.xsd");
    ReturnContext context = session.Context(4);
    try {
        GenerateReturnFile(LocalPurchaseFileKind(), context);
        FAIL() << "a missing schema was not reported";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Load XSD failed: ", 0), 0u) << error.what();
    }
}

// The dealer's TIN in the header and a supplier's TIN with a letter in it fail the schema: each
// row names the file and the failing element's line, a record's row also its document.
TEST(LocalPurchaseFile, SchemaErrorRowsNameTheirFileLineAndDocument) {
    LedgerSession session("t_schema_errors");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalPurchaseFileKind(), context);

    const std::string file = "efile_pur04.xml";
    const std::vector<ErrorRow> rows{
        {"Purchase Within State",
         "<TinNo> (checked element 2) is not valid. Reason: Element 'TinNo': [facet 'pattern'] The "
         "value "
         "'29ABC&<>12 ' is not accepted by the pattern '[0-9]{11}'.",
         "", file, 4},
        {"Purchase Within State",
         "<SelTin> (checked element 9) is not valid. Reason: Element 'SelTin': [facet 'pattern'] "
         "The value "
         "'29I00000002' is not accepted by the pattern '[0-9]{11}'.",
         "InvNo R3 \u00b7 05/04/2014 \u00b7 RAMA MEDICALS BANGALORE", file, 19},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_EQ(
        session.result.messages,
        (std::vector<UserMessage>{
            {"Validation failed for file " + (session.folder / "04" / file).string(), true}}));
}

}  // namespace
}  // namespace vat
