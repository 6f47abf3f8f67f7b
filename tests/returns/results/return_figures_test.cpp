#include "returns/results/return_figures.h"

#include <gtest/gtest.h>

#include "app/shared/summary_captions.h"
#include "returns/results/returns_errors.h"
#include "returns/results/run_json.h"

namespace vat {
namespace {

std::string CaptionOf(const ReturnFigures& figures, std::string_view label) {
    return vat::CaptionOf(CaptionsOf(figures), label);
}

TEST(ReturnFigures, StartWithTheWindowsCaptions) {
    const ReturnFigures figures;
    EXPECT_EQ(CaptionOf(figures, "lbl_InputVAT_Plus"), "0.00");
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_NoOfBills"), "");
    EXPECT_EQ(CaptionOf(figures, "lbl_TaxPayableRefundable"), "VAT Pay/Ref");
    EXPECT_THROW(CaptionOf(figures, "lbl_nonsense"), std::out_of_range);
}

TEST(ReturnFigures, ATotalIsShownInPaiseHalvesAwayFromZero) {
    const struct {
        std::int64_t tenThousandths;
        std::int64_t paise;
    } cases[] = {{0, 0},         {12345, 123},   {12350, 124}, {12349, 123},
                 {-12350, -124}, {-12349, -123}, {-50, -1},    {49, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ShownPaise(c.tenThousandths), c.paise) << c.tenThousandths;
}

// Each file's total lands in both secondary figures of its side, read back as shown, so the
// net is twice the last file's total and the payable figure is output net less input net.
TEST(ReturnFigures, TheLastFileOfASideDecidesItsSecondaryFigures) {
    ReturnFigures figures;
    SetFileTotal(figures, TaxFigure::InputVatPlus, FigureSide::Input, 5000050);  // 500.0050
    SetFileTotal(figures, TaxFigure::CstPurchases, FigureSide::Input, 123456);   // 12.3456
    SetFileTotal(figures, TaxFigure::OutputVatPlus, FigureSide::Output, 8000000);
    EXPECT_EQ(CaptionOf(figures, "lbl_InputVAT_Plus"), "500.01");
    EXPECT_EQ(CaptionOf(figures, "lbl_CST_Purchase"), "12.35");
    EXPECT_EQ(CaptionOf(figures, "lbl_in_p"), "12.35");
    EXPECT_EQ(CaptionOf(figures, "lbl_in_n"), "12.35");
    EXPECT_EQ(CaptionOf(figures, "lbl_in_net"), "24.70");
    EXPECT_EQ(CaptionOf(figures, "lbl_out_net"), "1600.00");
    EXPECT_EQ(CaptionOf(figures, "lbl_pay"), "1575.30");
}

// The verdict reads each VAT figure as shown: 0.005 + 0.005 of input VAT is 0.02, not 0.01.
TEST(ReturnFigures, TheVerdictIsComputedFromTheShownFigures) {
    const struct {
        std::int64_t inPlus, inMinus, outPlus, outMinus;
        const char* verdict;
        const char* amount;
    } cases[] = {
        {5000000, 200000, 8000000, 300000, "VAT Payable", "290.00"},
        {8000000, 0, 5000000, 0, "VAT Refundable", "300.00"},
        {0, 0, 0, 0, "VAT Payable", "0.00"},
        {50, 0, 0, -50, "VAT Payable", "0.00"},
        {50, 0, 0, 0, "VAT Refundable", "0.01"},
    };
    for (const auto& c : cases) {
        ReturnFigures figures;
        figures.inputVatPlus = c.inPlus;
        figures.inputVatMinus = c.inMinus;
        figures.outputVatPlus = c.outPlus;
        figures.outputVatMinus = c.outMinus;
        CompleteRun(figures, {});
        EXPECT_EQ(CaptionOf(figures, "lbl_TaxPayableRefundable"), c.verdict) << c.inPlus;
        EXPECT_EQ(CaptionOf(figures, "lbl_TaxAmt"), c.amount) << c.inPlus;
    }
}

// The URD figures stay blank until a run completes.
TEST(ReturnFigures, UrdFiguresAreShownWhenARunCompletes) {
    ReturnFigures figures;
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_NoOfBills"), "");
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_Basic_Amt"), "0.00");
    CompleteRun(figures, UrdTotals{2, 1000.5, 50.025, 1, 300, 15});
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_NoOfBills"), "2");
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_Basic_Amt"), "1000.50");
    EXPECT_EQ(CaptionOf(figures, "lbl_Pur_URD_VAT_Amt"), "50.03");
    EXPECT_EQ(CaptionOf(figures, "lbl_Sal_URD_NoOfBills"), "1");
}

// The figures a record keeps read back as they were written; a figure that is missing or not
// a number is an error, never a 0.
TEST(FiguresJson, ReadsBackWhatItWroteAndRefusesWhatIsMissing) {
    ReturnFigures figures;
    figures.inputVatPlus = 5000050;
    figures.cstSales = -1234500;
    CompleteRun(figures, UrdTotals{2, 1000.5, 50.025, 1, 300, 15});
    const SummaryFigures shown = ShownFigures(figures);
    const nlohmann::ordered_json json = FiguresJson(shown);
    EXPECT_EQ(ParseFiguresJson(json), shown);
    EXPECT_EQ(json.dump(), R"({"inputVatPlus":500.01,"inputVatMinus":0.0,"outputVatPlus":0.0,)"
                           R"("outputVatMinus":0.0,"cstOnPurchases":0.0,"cstOnSales":-123.45,)"
                           R"("vat":"refundable","vatAmount":500.01,)"
                           R"("urdPurchases":{"bills":2,"basicAmount":1000.5,"vatAmount":50.03},)"
                           R"("urdSales":{"bills":1,"basicAmount":300.0,"vatAmount":15.0}})");
    for (const char* key : {"outputVatPlus", "vat", "urdSales"}) {
        nlohmann::ordered_json missing = json;
        missing.erase(key);
        EXPECT_THROW(ParseFiguresJson(missing), RunRecordError) << key;
    }
    nlohmann::ordered_json text = json;
    text["cstOnSales"] = "12.00";
    EXPECT_THROW(ParseFiguresJson(text), RunRecordError);
}

}  // namespace
}  // namespace vat
