#include "returns/results/summary_captions.h"

#include "returns/results/number_forms.h"

namespace vat {

namespace {

std::string VerdictText(VatVerdict verdict) {
    switch (verdict) {
        case VatVerdict::NotRun:
            return "VAT Pay/Ref";
        case VatVerdict::Pending:
            return "";
        case VatVerdict::Payable:
            return "VAT Payable";
        case VatVerdict::Refundable:
            break;
    }
    return "VAT Refundable";
}

std::string TaxText(const ReturnFigures& figures, TaxFigure figure) {
    return PaiseText(ShownPaise(figures.Tax(figure)));
}

constexpr CaptionedLabel kVisibleSummary[] = {
    {"Input Vat (+)", "lbl_InputVAT_Plus"},
    {"Input Vat (-)", "lbl_InputVAT_Minus"},
    {"Output Vat (+)", "lbl_OutputVAT_Plus"},
    {"Output Vat (-)", "lbl_OutputVAT_Minus"},
    {"Purchase CST", "lbl_CST_Purchase"},
    {"CST Payable", "lbl_CST_Sales"},
    {"URD Purchase No Of Bills", "lbl_Pur_URD_NoOfBills"},
    {"URD Purchase Basic Amt", "lbl_Pur_URD_Basic_Amt"},
    {"URD Purchase VAT Amt", "lbl_Pur_URD_VAT_Amt"},
    {"URD Sales No Of Bills", "lbl_Sal_URD_NoOfBills"},
    {"URD Sales Basic Amt", "lbl_Sal_URD_Basic_Amt"},
    {"URD Sales VAT Amt", "lbl_Sal_URD_VAT_Amt"},
};

}  // namespace

std::span<const CaptionedLabel> VisibleSummary() { return kVisibleSummary; }

std::string_view LabelOf(TaxFigure figure) {
    switch (figure) {
        case TaxFigure::InputVatPlus:
            return "lbl_InputVAT_Plus";
        case TaxFigure::InputVatMinus:
            return "lbl_InputVAT_Minus";
        case TaxFigure::OutputVatPlus:
            return "lbl_OutputVAT_Plus";
        case TaxFigure::OutputVatMinus:
            return "lbl_OutputVAT_Minus";
        case TaxFigure::CstPurchases:
            return "lbl_CST_Purchase";
        case TaxFigure::CstSales:
            break;
    }
    return "lbl_CST_Sales";
}

SummaryCaptions CaptionsOf(const ReturnFigures& figures) {
    using enum TaxFigure;
    const std::optional<UrdTotals>& urd = figures.urd;
    const auto count = [&](long long UrdTotals::*bills) {
        return urd ? std::to_string((*urd).*bills) : std::string();
    };
    const auto amount = [&](double UrdTotals::*sum) { return PictureText(urd ? (*urd).*sum : 0); };
    const SecondaryFigures& secondary = figures.secondary;
    const auto label = [](TaxFigure figure) { return std::string(LabelOf(figure)); };
    return {
        {label(InputVatPlus), TaxText(figures, InputVatPlus)},
        {label(InputVatMinus), TaxText(figures, InputVatMinus)},
        {label(OutputVatPlus), TaxText(figures, OutputVatPlus)},
        {label(OutputVatMinus), TaxText(figures, OutputVatMinus)},
        {"lbl_TaxPayableRefundable", VerdictText(figures.verdict)},
        {"lbl_TaxAmt", PaiseText(figures.vatAmount)},
        {label(CstPurchases), TaxText(figures, CstPurchases)},
        {label(CstSales), TaxText(figures, CstSales)},
        {"lbl_Pur_URD_NoOfBills", count(&UrdTotals::purchaseBills)},
        {"lbl_Pur_URD_Basic_Amt", amount(&UrdTotals::purchaseBasic)},
        {"lbl_Pur_URD_VAT_Amt", amount(&UrdTotals::purchaseVat)},
        {"lbl_Sal_URD_NoOfBills", count(&UrdTotals::salesBills)},
        {"lbl_Sal_URD_Basic_Amt", amount(&UrdTotals::salesBasic)},
        {"lbl_Sal_URD_VAT_Amt", amount(&UrdTotals::salesVat)},
        {"lbl_in_p", PaiseText(secondary.inputPlus)},
        {"lbl_in_n", PaiseText(secondary.inputMinus)},
        {"lbl_in_net", PaiseText(secondary.inputNet)},
        {"lbl_out_p", PaiseText(secondary.outputPlus)},
        {"lbl_out_n", PaiseText(secondary.outputMinus)},
        {"lbl_out_net", PaiseText(secondary.outputNet)},
        {"lbl_pay", PaiseText(secondary.Payable())},
    };
}

}  // namespace vat
