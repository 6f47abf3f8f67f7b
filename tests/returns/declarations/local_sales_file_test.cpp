#include <gtest/gtest.h>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;

const char* const kOmitted = " omitted due to basic amount being less than Rs.1";

// April holds both series, an escaped bill number in each (the file must still pass
// eval_sal.xsd: no schema row) and a voucher listed on two dates.
TEST(LocalSalesFile, WritesBothSeriesOfAprilByteForByte) {
    LedgerSession session("t_local_sales");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalSalesFileKind(), context);

    EXPECT_EQ(session.ReturnFile("04/efile_sal04.xml"),
              session.Expected("t_local_sales/efile_sal04.xml"));
    const std::vector<ErrorRow> rows{
        {"Sales Within State",
         std::string("Inv No.T-47 Dated:08/04/2014 of CASH CUSTOMER HUBLI") + kOmitted},
        {"Sales Within State",
         "Inv No.M-56 of voucher 56 left out: the party account 999 has no row in ledger_acts"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "04/efile_sal04.xml").string()});
}

TEST(LocalSalesFile, TotalsOutputVatOfBothSeriesAndUrdSalesOfWrittenBills) {
    LedgerSession session("t_local_sales");
    ReturnContext context = session.Context(4);
    GenerateReturnFile(LocalSalesFileKind(), context);

    // First series 47.5 + 5 + 10 + 15 + 20 + 0.05 (omitted) + 25 twice, second 30 + 35 + 40
    // + 2.5; not the cancelled, counter-sale or left-out bills.
    EXPECT_EQ(session.Caption("lbl_OutputVAT_Plus"), "255.05");
    EXPECT_EQ(session.Caption("lbl_out_p"), "255.05");
    EXPECT_EQ(session.Caption("lbl_out_n"), "255.05");
    EXPECT_EQ(session.Caption("lbl_out_net"), "510.10");
    EXPECT_EQ(session.Caption("lbl_pay"), "510.10");
    // G-44 (first series, TIN of another state), K-45 and K-53 (no TIN); not G-52 (second
    // series keeps the TIN) nor the omitted T-47.
    EXPECT_EQ(context.urd.salesBills, 3);
    EXPECT_DOUBLE_EQ(context.urd.salesBasic, 1300);
    EXPECT_DOUBLE_EQ(context.urd.salesVat, 65);
    EXPECT_EQ(context.urd.purchaseBills, 0);
}

// One series only: the file holds only its prefix, and an omitted bill 1234 is listed
// without the prefix.
TEST(LocalSalesFile, AMonthOfOneSeriesOnly) {
    struct Case {
        int month;
        const char* file;
        const char* omission;
        const char* outputVat;
    };
    for (const Case& month : {
             Case{5, "05/efile_sal05.xml", "Inv No.1234 Dated:03/05/2014 of SAI MEDICALS BANGALORE",
                  "5.04"},
             Case{6, "06/efile_sal06.xml", "Inv No.1234 Dated:03/06/2014 of GOA BUYER ", "5.02"},
         }) {
        SCOPED_TRACE(month.file);
        LedgerSession session("t_local_sales");
        ReturnContext context = session.Context(month.month);
        GenerateReturnFile(LocalSalesFileKind(), context);

        EXPECT_EQ(session.ReturnFile(month.file),
                  session.Expected(std::string("t_local_sales/") +
                                   fs::path(month.file).filename().string()));
        const std::vector<ErrorRow> omission{
            {"Sales Within State", month.omission + std::string(kOmitted)}};
        EXPECT_EQ(Said(session.result.rows), omission);
        EXPECT_TRUE(session.result.messages.empty());
        EXPECT_EQ(session.Caption("lbl_OutputVAT_Plus"), month.outputVat);
        EXPECT_EQ(context.urd.salesBills, 0);
    }
}

}  // namespace
}  // namespace vat
