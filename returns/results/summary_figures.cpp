#include "returns/results/summary_figures.h"

#include <stdexcept>

#include "returns/results/number_forms.h"

namespace vat {

namespace {

constexpr FigureDeclaration kFigureTable[] = {
    {Figure::InputVatPlus, "lbl_InputVAT_Plus", "Input Vat (+)", "inputVatPlus", "", "input VAT"},
    {Figure::InputVatMinus, "lbl_InputVAT_Minus", "Input Vat (-)", "inputVatMinus", "",
     "input VAT on purchase returns"},
    {Figure::OutputVatPlus, "lbl_OutputVAT_Plus", "Output Vat (+)", "outputVatPlus", "",
     "output VAT"},
    {Figure::OutputVatMinus, "lbl_OutputVAT_Minus", "Output Vat (-)", "outputVatMinus", "",
     "output VAT on sales returns"},
    {Figure::CstPurchases, "lbl_CST_Purchase", "Purchase CST", "cstOnPurchases", "",
     "CST on purchases"},
    {Figure::CstSales, "lbl_CST_Sales", "CST Payable", "cstOnSales", "", "CST on sales"},
    {Figure::VatPayable, "lbl_TaxAmt", "VAT Pay/Ref", "vatAmount", "", "VAT payable"},
    {Figure::UrdPurchaseBills, "lbl_Pur_URD_NoOfBills", "URD Purchase No Of Bills", "urdPurchases",
     "bills", "URD purchase bills", true},
    {Figure::UrdPurchaseBasic, "lbl_Pur_URD_Basic_Amt", "URD Purchase Basic Amt", "urdPurchases",
     "basicAmount", "URD purchases"},
    {Figure::UrdPurchaseVat, "lbl_Pur_URD_VAT_Amt", "URD Purchase VAT Amt", "urdPurchases",
     "vatAmount", "URD purchase VAT"},
    {Figure::UrdSalesBills, "lbl_Sal_URD_NoOfBills", "URD Sales No Of Bills", "urdSales", "bills",
     "URD sales bills", true},
    {Figure::UrdSalesBasic, "lbl_Sal_URD_Basic_Amt", "URD Sales Basic Amt", "urdSales",
     "basicAmount", "URD sales"},
    {Figure::UrdSalesVat, "lbl_Sal_URD_VAT_Amt", "URD Sales VAT Amt", "urdSales", "vatAmount",
     "URD sales VAT"},
};
static_assert(std::size(kFigureTable) == kFigureCount);
static_assert([] {
    for (int at = 0; at < kFigureCount; ++at)
        if (static_cast<int>(kFigureTable[at].figure) != at) return false;
    return true;
}());

std::int64_t Paise(double rupees) { return ScaledDecimal(rupees, 2, Tie::AwayFromZero); }

UrdFigures UrdOf(long long bills, double basic, double vat) {
    return {bills, Paise(basic), Paise(vat)};
}

std::optional<std::int64_t> UrdPart(const std::optional<UrdFigures>& urd,
                                    std::int64_t UrdFigures::*part) {
    if (!urd) return std::nullopt;
    return (*urd).*part;
}

}  // namespace

std::int64_t SummaryFigures::SignedVat() const {
    return verdict == VatVerdict::Refundable ? -vatPaise : vatPaise;
}

SummaryFigures ShownFigures(const ReturnFigures& figures) {
    SummaryFigures shown;
    for (int figure = 0; figure < kTaxFigureCount; ++figure)
        shown.taxPaise[figure] = ShownPaise(figures.Tax(static_cast<TaxFigure>(figure)));
    shown.verdict = figures.verdict;
    shown.vatPaise = figures.vatAmount;
    if (const std::optional<UrdTotals>& urd = figures.urd) {
        shown.urdPurchases = UrdOf(urd->purchaseBills, urd->purchaseBasic, urd->purchaseVat);
        shown.urdSales = UrdOf(urd->salesBills, urd->salesBasic, urd->salesVat);
    }
    return shown;
}

std::span<const FigureDeclaration> FigureTable() { return kFigureTable; }

const FigureDeclaration& Declared(Figure figure) { return kFigureTable[static_cast<int>(figure)]; }

std::optional<std::int64_t> ValueOf(const SummaryFigures& figures, Figure figure) {
    switch (figure) {
        case Figure::VatPayable:
            return figures.SignedVat();
        case Figure::UrdPurchaseBills:
            return UrdPart(figures.urdPurchases, &UrdFigures::bills);
        case Figure::UrdPurchaseBasic:
            return UrdPart(figures.urdPurchases, &UrdFigures::basicPaise);
        case Figure::UrdPurchaseVat:
            return UrdPart(figures.urdPurchases, &UrdFigures::vatPaise);
        case Figure::UrdSalesBills:
            return UrdPart(figures.urdSales, &UrdFigures::bills);
        case Figure::UrdSalesBasic:
            return UrdPart(figures.urdSales, &UrdFigures::basicPaise);
        case Figure::UrdSalesVat:
            return UrdPart(figures.urdSales, &UrdFigures::vatPaise);
        default:
            return figures.Tax(static_cast<TaxFigure>(figure));
    }
}

}  // namespace vat
