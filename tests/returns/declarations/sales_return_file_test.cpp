#include <gtest/gtest.h>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;

TEST(SalesReturnFile, WritesJuneOfTheFixtureLedgerByteForByte) {
    LedgerSession session("t_sales_return");
    ReturnContext context = session.Context(6);
    GenerateReturnFile(SalesReturnFileKind(), context);

    EXPECT_EQ(session.ReturnFile("06/efile_sal_returns06.xml"),
              session.Expected("t_sales_return/efile_sal_returns06.xml"));
    // No schema row: the written file passes eval_cn.xsd.
    const std::vector<ErrorRow> rows{
        {"Credit Note Within State",
         "Inv No.E-84 Dated:15/06/2014 of SAI MEDICALS  omitted due to basic amount being less "
         "than Rs.1"},
        {"Credit Note Within State",
         "Inv No.F-85 of voucher 85 left out: the party account 404 has no city code"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "06/efile_sal_returns06.xml").string()});
}

// What the local sales file left in the secondary labels is replaced by the notes' tax.
TEST(SalesReturnFile, ReplacesTheSecondaryOutputLabelsWithTheNotesTax) {
    LedgerSession session("t_sales_return");
    test::SetShownFigures(session.result.figures, {{"lbl_out_p", "99.00"},
                                                   {"lbl_out_n", "99.00"},
                                                   {"lbl_out_net", "198.00"},
                                                   {"lbl_in_net", "10.00"}});
    ReturnContext context = session.Context(6);
    GenerateReturnFile(SalesReturnFileKind(), context);

    // 19 + 8 + 4 + 0.02 (omitted); not the 12 of the note left out.
    EXPECT_EQ(session.Caption("lbl_OutputVAT_Minus"), "31.02");
    EXPECT_EQ(session.Caption("lbl_OutputVAT_Plus"), "0.00");
    EXPECT_EQ(session.Caption("lbl_out_p"), "31.02");
    EXPECT_EQ(session.Caption("lbl_out_n"), "31.02");
    EXPECT_EQ(session.Caption("lbl_out_net"), "62.04");
    EXPECT_EQ(session.Caption("lbl_pay"), "52.04");
    // The note written with the URD marker counts in no URD figure.
    EXPECT_EQ(context.urd.salesBills, 0);
    EXPECT_EQ(context.urd.salesBasic, 0);
    EXPECT_EQ(context.urd.salesVat, 0);
}

}  // namespace
}  // namespace vat
