#include "returns/results/return_figures.h"

namespace vat {

std::int64_t& ReturnFigures::Tax(TaxFigure figure) {
    switch (figure) {
        case TaxFigure::InputVatPlus:
            return inputVatPlus;
        case TaxFigure::InputVatMinus:
            return inputVatMinus;
        case TaxFigure::OutputVatPlus:
            return outputVatPlus;
        case TaxFigure::OutputVatMinus:
            return outputVatMinus;
        case TaxFigure::CstPurchases:
            return cstPurchases;
        case TaxFigure::CstSales:
            break;
    }
    return cstSales;
}

std::int64_t ReturnFigures::Tax(TaxFigure figure) const {
    return const_cast<ReturnFigures&>(*this).Tax(figure);
}

std::int64_t ShownPaise(std::int64_t tenThousandths) {
    const std::int64_t whole = tenThousandths / 100;
    const std::int64_t rest = tenThousandths % 100;
    if (rest >= 50) return whole + 1;
    if (rest <= -50) return whole - 1;
    return whole;
}

void SetFileTotal(ReturnFigures& figures, TaxFigure figure, FigureSide side,
                  std::int64_t tenThousandths) {
    figures.Tax(figure) = tenThousandths;
    const std::int64_t shown = ShownPaise(tenThousandths);
    SecondaryFigures& secondary = figures.secondary;
    if (side == FigureSide::Input) {
        secondary.inputPlus = secondary.inputMinus = shown;
        secondary.inputNet = secondary.inputPlus + secondary.inputMinus;
    } else {
        secondary.outputPlus = secondary.outputMinus = shown;
        secondary.outputNet = secondary.outputPlus + secondary.outputMinus;
    }
}

void CompleteRun(ReturnFigures& figures, const UrdTotals& urd) {
    const auto shown = [&](TaxFigure figure) { return ShownPaise(figures.Tax(figure)); };
    const std::int64_t vat = (shown(TaxFigure::OutputVatPlus) - shown(TaxFigure::OutputVatMinus)) -
                             (shown(TaxFigure::InputVatPlus) - shown(TaxFigure::InputVatMinus));
    figures.verdict = vat >= 0 ? VatVerdict::Payable : VatVerdict::Refundable;
    figures.vatAmount = vat >= 0 ? vat : -vat;
    figures.urd = urd;
}

}  // namespace vat
