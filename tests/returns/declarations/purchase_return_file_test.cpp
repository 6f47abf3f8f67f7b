#include <gtest/gtest.h>

#include "returns/declarations/return_files.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(PurchaseReturnFile, WritesMayOfTheFixtureLedgerByteForByte) {
    LedgerSession session("t_purchase_return");
    ReturnContext context = session.Context(5);
    GenerateReturnFile(PurchaseReturnFileKind(), context);

    EXPECT_EQ(session.ReturnFile("05/efile_pur_rtn05.xml"),
              session.Expected("t_purchase_return/efile_pur_rtn05.xml"));
    // No schema row: the written file passes eval_dn.xsd.
    const std::vector<ErrorRow> rows{
        {"Debit Note Within State",
         "DN No.DN0024 of voucher 24 left out: the party's TIN 30200000002 does not begin with 29"},
        {"Debit Note Within State",
         "DN No.D26 Dated:11/05/2014 of TINY RETURNS  omitted due to basic amount being less than "
         "Rs.1"},
        {"Debit Note Within State",
         "DN No.DN0028 of voucher 28 left out: the party account 998 has no row in ledger_acts"},
        {"Debit Note Within State",
         "DN No.DN0030 of voucher 30 left out: the party account is empty"},
    };
    EXPECT_EQ(Said(session.result.rows), rows);
    EXPECT_TRUE(session.result.messages.empty()) << session.result.messages.front().text;
}

TEST(PurchaseReturnFile, WritesOrSkipsEachNoteByTheGoodsAndTinTests) {
    LedgerSession session("t_purchase_return");
    ReturnContext context = session.Context(5);
    GenerateReturnFile(PurchaseReturnFileKind(), context);
    const std::string file = session.ReturnFile("05/efile_pur_rtn05.xml");

    struct Case {
        const char* number;
        std::size_t blocks;
        const char* why;
    };
    for (const Case& note : {
             Case{"DN0017", 1, "vat_dn 0 with inventory lines"},
             Case{"DN0022", 0, "vat_dn 0 without inventory lines"},
             Case{"DN0023", 1, "vat_dn 1 without inventory lines"},
             Case{"DN0024", 0, "an 11-character TIN beginning 30"},
             Case{"DN25", 1, "a 9-character TIN, written as the URD marker"},
             Case{"DN0029", 0, "cancelled"},
             Case{"DN0032", 0, "June"},
         })
        EXPECT_EQ(Occurrences(file, std::string("<DebitNo>") + note.number + "</DebitNo>"),
                  note.blocks)
            << note.why;
}

// The note list groups by bill_no too, but DISTINCT applies to the whole selected row, which
// holds no bill_no: the two groups of note 27 are one row, so the note is written and counted
// once.
TEST(PurchaseReturnFile, ANoteWhoseRowsDifferOnlyInBillNoIsListedOnce) {
    LedgerSession session("t_purchase_return");
    ReturnContext context = session.Context(5);
    GenerateReturnFile(PurchaseReturnFileKind(), context);

    EXPECT_EQ(
        Occurrences(session.ReturnFile("05/efile_pur_rtn05.xml"), "<DebitNo>DN0027</DebitNo>"), 1u);
    // 50 + 10 + 20 + 0.10 + 7.50 once
    EXPECT_EQ(session.Caption("lbl_InputVAT_Minus"), "87.60");
}

TEST(PurchaseReturnFile, TotalsInputVatOfListedNotesOmittedOnesIncluded) {
    LedgerSession session("t_purchase_return");
    ReturnContext context = session.Context(5);
    GenerateReturnFile(PurchaseReturnFileKind(), context);

    // 50 + 10 + 20 + 0.10 (omitted) + 7.50; not the skipped notes' 7 and 15 nor the 4.50 and
    // 3 of the notes left out for missing party data.
    EXPECT_EQ(session.Caption("lbl_InputVAT_Minus"), "87.60");
    EXPECT_EQ(session.Caption("lbl_in_p"), "87.60");
    EXPECT_EQ(session.Caption("lbl_in_n"), "87.60");
    EXPECT_EQ(session.Caption("lbl_in_net"), "175.20");
    EXPECT_EQ(session.Caption("lbl_pay"), "-175.20");
    EXPECT_EQ(session.Caption("lbl_InputVAT_Plus"), "0.00");
    // Debit notes count in no URD figure, not even the note written with the URD marker.
    EXPECT_EQ(context.urd.purchaseBills, 0);
    EXPECT_EQ(context.urd.purchaseBasic, 0);
    EXPECT_EQ(context.urd.purchaseVat, 0);
    EXPECT_EQ(context.urd.salesBills, 0);
    EXPECT_EQ(session.result.FilesWritten(),
              std::vector<std::string>{(session.folder / "05/efile_pur_rtn05.xml").string()});
}

// A note without a date cannot pass the month filter, so no month lists it or reports it.
TEST(PurchaseReturnFile, ANoteWithoutADateIsInNoMonth) {
    LedgerSession session("t_purchase_return");
    for (int month = 1; month <= 12; ++month) {
        ReturnContext context = session.Context(month);
        GenerateReturnFile(PurchaseReturnFileKind(), context);
    }
    for (const std::string& path : session.result.FilesWritten())
        EXPECT_EQ(test::ReadBytes(path).find("DN0031"), std::string::npos) << path;
    for (const ErrorRow& row : session.result.rows)
        EXPECT_EQ(row.error.find("DN0031"), std::string::npos) << row.error;
    EXPECT_EQ(session.result.FilesWritten().size(), 2u) << "May and June";
}

}  // namespace
}  // namespace vat
