// What every return file promises, checked for all six on one ledger month.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "returns/declarations/return_files.h"
#include "returns/results/number_forms.h"
#include "returns/run/return_file_generator.h"
#include "support/ledger_session.h"
#include "validation/schema_validation.h"

namespace vat {
namespace {

namespace fs = std::filesystem;

struct ReturnFileCase {
    const char* name;
    const ReturnFileKind& (*kind)();
    const char* taxTotal;  // of April in t_contract, the omitted document's tax included
};

void PrintTo(const ReturnFileCase& c, std::ostream* out) { *out << c.name; }

class ReturnFileContract : public testing::TestWithParam<ReturnFileCase> {
protected:
    ReturnFileContract() : session("t_contract") {
        ReturnContext context = session.Context(4);
        GenerateReturnFile(GetParam().kind(), context);
    }

    const ReturnFileKind& Kind() const { return GetParam().kind(); }
    std::string FileName() const { return "04/" + std::string(Kind().baseName) + "04.xml"; }

    test::LedgerSession session;
};

TEST_P(ReturnFileContract, EveryLineEndsInCrLf) {
    const std::string file = session.ReturnFile(FileName());
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(file.substr(file.size() - 2), "\r\n");
    for (std::size_t at = file.find('\n'); at != std::string::npos; at = file.find('\n', at + 1))
        ASSERT_EQ(file[at - 1], '\r') << "a bare LF at byte " << at;
}

TEST_P(ReturnFileContract, OpensWithTheDeclarationAndHeaderAndEndsWithItsClosingLine) {
    const ReturnFileKind& kind = Kind();
    std::string header = "<?xml version=\"1.0\"?>\r\n   <" + std::string(kind.rootElement) +
                         ">\r\n   <Version>13.11</Version>\r\n   <TinNo>29123456789</TinNo>\r\n"
                         "   <RetPerdEnd>2014</RetPerdEnd>\r\n   <FilingType>M</FilingType>\r\n"
                         "   <Period>04</Period>\r\n";
    for (std::string_view line : kind.extraHeaderLines) header += std::string(line) + "\r\n";
    header += "       <" + std::string(kind.recordElement) + ">\r\n";
    const std::string file = session.ReturnFile(FileName());
    EXPECT_EQ(file.substr(0, header.size()), header);
    const std::string closing = std::string(kind.closingLine) + "\r\n";
    const std::string lastRecord = "       </" + std::string(kind.recordElement) + ">\r\n";
    EXPECT_EQ(file.substr(file.size() - closing.size() - lastRecord.size()), lastRecord + closing);
}

TEST_P(ReturnFileContract, WritesOneBlockAndPassesItsSchema) {
    const std::string file = session.ReturnFile(FileName());
    const std::string open = "       <" + std::string(Kind().recordElement) + ">\r\n";
    EXPECT_EQ(file.find(open), file.rfind(open)) << "exactly one written document";
    std::vector<std::string> failures;
    EXPECT_TRUE(
        Validate((session.folder / FileName()).string(),
                 (session.folder / "XSD" / std::string(Kind().schemaFile)).string(),
                 std::string(Kind().recordElement), {},
                 [&](const ValidationFailure& failure) { failures.push_back(failure.message); }));
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_TRUE(session.result.messages.empty());
}

TEST_P(ReturnFileContract, NamesItsDocumentsByTheNumberDateAndPartyOfItsBlocks) {
    const ReturnFileKind& kind = Kind();
    std::vector<ElementValue> values;
    for (std::string_view name : kind.documentElements) {
        const auto element =
            std::find_if(kind.elements.begin(), kind.elements.end(),
                         [&](const BlockElement& element) { return element.name == name; });
        ASSERT_NE(element, kind.elements.end()) << name;
        values.push_back(element->value);
    }
    EXPECT_EQ(values, (std::vector<ElementValue>{ElementValue::Number, ElementValue::Date,
                                                 ElementValue::PartyName}));
}

TEST_P(ReturnFileContract, ListsTheDocumentBelowOneRupeeUnderItsOmissionType) {
    const ReturnFileKind& kind = Kind();
    int omissions = 0;
    for (const ErrorRow& row : session.result.rows) {
        ASSERT_EQ(row.type, kind.omissionType) << row.error;
        EXPECT_EQ(row.error.rfind(kind.omissionPrefix, 0), 0u) << row.error;
        EXPECT_NE(row.error.find(" of SHREE RAMA AGENCIES BANGALORE omitted due to basic amount "
                                 "being less than Rs.1"),
                  std::string::npos)
            << row.error;
        ++omissions;
    }
    EXPECT_GE(omissions, 1);
}

TEST_P(ReturnFileContract, ShowsItsTaxTotalInItsLabelAndTheSecondarySide) {
    const ReturnFileKind& kind = Kind();
    const std::string side = kind.side == FigureSide::Input ? "lbl_in_" : "lbl_out_";
    EXPECT_EQ(session.Caption(Declared(static_cast<Figure>(kind.figure)).label),
              GetParam().taxTotal);
    EXPECT_EQ(session.Caption(side + "p"), GetParam().taxTotal);
    EXPECT_EQ(session.Caption(side + "n"), GetParam().taxTotal);
    EXPECT_EQ(session.Caption(side + "net"), PictureText(2 * LeadingNumber(GetParam().taxTotal)));
}

// A month without any voucher of the file's kind: the old file goes, nothing else changes.
class ReturnFileWithoutDocuments : public testing::TestWithParam<ReturnFileCase> {};

TEST_P(ReturnFileWithoutDocuments, RemovesTheOldFileAndTouchesNothingElse) {
    const ReturnFileKind& kind = GetParam().kind();
    test::LedgerSession session("t_empty_month");
    const std::string name = std::string(kind.baseName) + "04.xml";
    fs::create_directories(session.folder / "04");
    std::ofstream(session.folder / "04" / name) << "old";
    fs::permissions(session.folder / "04" / name, fs::perms::owner_read);
    const std::string side = kind.side == FigureSide::Input ? "lbl_in_" : "lbl_out_";
    const test::Captions before{
        {std::string(Declared(static_cast<Figure>(kind.figure)).label), "7.00"},
        {side + "p", "8.00"},
        {side + "n", "9.00"},
        {side + "net", "17.00"}};
    test::SetShownFigures(session.result.figures, before);
    // Nothing is checked either: a missing schema goes unnoticed.
    fs::remove(session.folder / "XSD" / std::string(kind.schemaFile));

    ReturnContext april = session.Context(4);
    GenerateReturnFile(kind, april);
    ReturnContext june = session.Context(6);
    GenerateReturnFile(kind, june);

    EXPECT_FALSE(fs::exists(session.folder / "04" / name));
    EXPECT_FALSE(fs::exists(session.folder / "06")) << "no folder for a month without a file";
    test::ExpectCaptions(session.result.figures, before);
    EXPECT_TRUE(session.result.rows.empty());
    EXPECT_TRUE(session.result.messages.empty());
    EXPECT_TRUE(session.result.FilesWritten().empty());
    EXPECT_EQ(june.urd.purchaseBills + june.urd.salesBills, 0);
}

const ReturnFileCase kSixReturnFiles[] = {
    {"LocalPurchases", LocalPurchaseFileKind, "25.05"},
    {"DebitNotes", PurchaseReturnFileKind, "5.05"},
    // The interstate bills are sales bills too: the local list takes them, with no local sales
    // amount, as omissions; their CST is not in the output VAT.
    {"LocalSales", LocalSalesFileKind, "50.05"},
    {"CreditNotes", SalesReturnFileKind, "10.05"},
    {"InterstateSales", InterstateSalesFileKind, "16.05"},
    {"InterstatePurchases", InterstatePurchaseFileKind, "8.05"},
};

std::string CaseName(const testing::TestParamInfo<ReturnFileCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(SixReturnFiles, ReturnFileContract, testing::ValuesIn(kSixReturnFiles),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(SixReturnFiles, ReturnFileWithoutDocuments,
                         testing::ValuesIn(kSixReturnFiles), CaseName);

}  // namespace
}  // namespace vat
